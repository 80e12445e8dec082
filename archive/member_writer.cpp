#include "archive/member_writer.hpp"

#include <filesystem>
#include <system_error>

#include "archive/archive_message.hpp"
#include "archive/member_path.hpp"
#include "resources/messages.hpp"

namespace tovrin {
namespace {

enum class Existing { None, Replaceable, Newer, Protected, Folder };

Existing CheckExisting(const FileSystem& files, const LzhMember& member, const std::string& target,
                       bool alwaysReplace) {
  FileStatus status;
  if (!files.GetStatus(target, status)) return Existing::None;
  if ((status.attribute & ATTR_DIRECTORY) != 0) return Existing::Folder;
  // Windows refuses to overwrite these; so does the copy of single files.
  if ((status.attribute & (ATTR_READONLY | ATTR_HIDDEN)) != 0) return Existing::Protected;
  if (!alwaysReplace && status.modificationTime >= member.modificationTime) return Existing::Newer;
  return Existing::Replaceable;
}

// A member that cannot fit is refused before a byte of it is written.
bool FitsFreeSpace(const FileSystem& files, const std::string& target, std::uint64_t size) {
  const auto host = files.Resolve(target);
  if (!host) return false;
  std::error_code error;
  const auto space = std::filesystem::space(host->parent_path(), error);
  return error || size <= space.available;
}

std::optional<std::string> CannotWrite(const LzhMember& member) {
  return ArchiveMessage(texts::kMemberCannotWrite, {MemberDisplayName(member.name)});
}

FileStatus MemberStatus(const LzhMember& member) {
  FileStatus status;
  status.creationTime = member.modificationTime;
  status.modificationTime = member.modificationTime;
  status.accessTime = member.modificationTime;
  status.size = member.size;
  status.attribute = member.attribute;
  return status;
}


// A protected file that already holds exactly the member's bytes is the
// member in place (a read-only member extracted by an earlier run of the
// same update): nothing needs writing. Any other one is refused.
std::optional<std::string> KeepProtected(FileSystem& files, LzhReader& reader, const LzhMember& member,
                                         const std::string& target) {
  auto existing = files.OpenRead(target);
  if (!existing) return CannotWrite(member);
  std::string stored;
  bool same = true;
  const DataResult result = reader.ReadData([&](std::string_view block) {
    stored.resize(block.size());
    std::size_t got = 0;
    while (same && got < block.size()) {
      const auto count = existing->Read(stored.data() + got, block.size() - got);
      if (!count || *count == 0) same = false;
      else got += *count;
    }
    same = same && stored == block;
    return same;
  });
  if (result == DataResult::Corrupt || result == DataResult::TooLarge) return UnreadMemberMessage(member, result);
  char extra = 0;
  const auto more = existing->Read(&extra, 1);
  if (result != DataResult::Complete || !more || *more != 0) return CannotWrite(member);
  return std::nullopt;
}

}  // namespace

std::string UnreadMemberMessage(const LzhMember& member, DataResult result) {
  const auto text = result == DataResult::TooLarge ? texts::kMemberTooLarge : texts::kMemberCorrupt;
  return ArchiveMessage(text, {MemberDisplayName(member.name)});
}

std::optional<std::string> WriteMember(FileSystem& files, LzhReader& reader, const LzhMember& member,
                                       const std::string& target, bool alwaysReplace) {
  switch (CheckExisting(files, member, target, alwaysReplace)) {
    case Existing::Folder: return CannotWrite(member);
    case Existing::Protected: return KeepProtected(files, reader, member, target);
    case Existing::Newer: return std::nullopt;
    case Existing::None:
    case Existing::Replaceable: break;
  }
  if (!FitsFreeSpace(files, target, member.size)) return CannotWrite(member);
  auto file = files.BeginReplace(target);
  if (!file) return CannotWrite(member);

  const DataResult result = reader.ReadData([&](std::string_view block) { return file->Write(block); });
  if (result == DataResult::SinkFailed) return CannotWrite(member);
  if (result == DataResult::Corrupt || result == DataResult::TooLarge) return UnreadMemberMessage(member, result);
  if (!file->Commit()) return CannotWrite(member);
  if (!files.SetStatus(target, MemberStatus(member))) return CannotWrite(member);
  return std::nullopt;
}

}  // namespace tovrin
