#include "engine/record_size.hpp"

#include "archive/lzh_reader.hpp"

namespace tovrin {
namespace {

// What the headers promise; a broken archive counts what was read before
// the break (its extraction will fail and say so).
std::uint64_t ArchiveMemberBytes(const std::filesystem::path& archive) {
  const auto reader = LzhReader::Open(archive);
  if (!reader) return 0;
  std::uint64_t bytes = 0;
  LzhMember member;
  while (reader->NextMember(member) == HeaderResult::Member) {
    if (member.kind == MemberKind::File) bytes += member.size;
  }
  return bytes;
}

}  // namespace

std::optional<std::uint64_t> RecordBytes(const FileSystem& files, const std::string& mediumFile,
                                         bool isArchive) {
  FileStatus status;
  if (!files.GetStatus(mediumFile, status)) return std::nullopt;
  if (!isArchive) return status.size;
  const auto host = files.Resolve(mediumFile);
  return host ? ArchiveMemberBytes(*host) : 0;
}

}  // namespace tovrin
