#include "engine/archive_contents.hpp"

#include "archive/lzh_reader.hpp"
#include "archive/member_path.hpp"

namespace tovrin {

std::vector<std::string> ArchiveFileNames(FileSystem& files, const std::string& archive) {
  std::vector<std::string> names;
  const auto reader = LzhReader::Open(files, archive);
  LzhMember member;
  while (reader && reader->NextMember(member) == HeaderResult::Member) {
    if (member.kind != MemberKind::File) continue;
    if (const auto target = MemberTargetPath(member.name, false)) names.push_back(target->name);
  }
  return names;
}

}  // namespace tovrin
