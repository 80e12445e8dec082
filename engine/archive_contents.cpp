#include "engine/archive_contents.hpp"

#include "archive/lzh_reader.hpp"
#include "archive/member_path.hpp"

namespace tovrin {

ArchiveContents ReadArchiveContents(const FileSystem& files, const std::string& archive) {
  ArchiveContents contents;
  // Found as the archive library finds it: as named, else with ".lzh".
  const bool asNamed = files.Access(archive) == 0;
  const auto host = files.Resolve(asNamed ? archive : archive + ".lzh");
  auto reader = host ? LzhReader::Open(*host) : nullptr;
  LzhMember member;
  while (reader && reader->NextMember(member) == HeaderResult::Member) {
    if (member.kind != MemberKind::File) continue;
    contents.extractedSize += member.size;
    if (const auto target = MemberTargetPath(member.name, false)) {
      contents.names.push_back(target->name);
    }
  }
  return contents;
}

}  // namespace tovrin
