#include "engine/record_size.hpp"

#include "archive/lzh_reader.hpp"

namespace tovrin {
namespace {

// What the headers promise; a broken archive counts what was read before
// the break (its extraction will fail and say so).
std::uint64_t ArchiveMemberBytes(FileSystem& files, const std::string& archive) {
  const auto reader = LzhReader::Open(files, archive);
  if (!reader) return 0;
  std::uint64_t bytes = 0;
  LzhMember member;
  while (reader->NextMember(member) == HeaderResult::Member) {
    if (member.kind == MemberKind::File) bytes += member.size;
  }
  return bytes;
}

}  // namespace

std::optional<std::uint64_t> RecordBytes(FileSystem& files, const std::string& mediumFile,
                                         bool isArchive) {
  FileStatus status;
  if (!files.GetStatus(mediumFile, status)) return std::nullopt;
  return isArchive ? ArchiveMemberBytes(files, mediumFile) : status.size;
}

}  // namespace tovrin
