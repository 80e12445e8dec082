#include "archive/archive_command.hpp"

#include "archive/archive_message.hpp"
#include "archive/lzh_reader.hpp"
#include "archive/member_path.hpp"
#include "archive/member_writer.hpp"
#include "resources/messages.hpp"

namespace tovrin {
namespace {

std::string Display(const LzhMember& member) { return MemberDisplayName(member.name); }

std::unique_ptr<LzhReader> OpenArchive(FileSystem& files, const std::string& archive,
                                       std::string& message) {
  if (files.Exists(archive) != Presence::Present) {
    message = ArchiveMessage(texts::kArchiveNotFound, {archive});
    return nullptr;
  }
  auto reader = LzhReader::Open(files, archive);
  if (!reader) message = ArchiveMessage(texts::kArchiveUnreadable, {archive});
  return reader;
}

std::optional<std::string> CheckMethod(const LzhMember& member) {
  if (IsSupportedMethod(member.method)) return std::nullopt;
  return ArchiveMessage(texts::kMemberMethodUnsupported, {Display(member), member.method});
}

std::optional<std::string> TestMember(LzhReader& reader, const LzhMember& member) {
  if (member.kind != MemberKind::File) return std::nullopt;
  if (auto failure = CheckMethod(member)) return failure;
  const DataResult result = reader.ReadData([](std::string_view) { return true; });
  if (result == DataResult::Complete) return std::nullopt;
  return UnreadMemberMessage(member, result);
}

// Creates the folders below the base folder that are missing.
bool MakeFolders(FileSystem& files, const std::string& base, const std::vector<std::string>& folders) {
  std::string folder = base;
  for (const std::string& name : folders) {
    folder += name;
    if (files.Exists(folder) != Presence::Present && files.Mkdir(folder) != 0) return false;
    folder += '\\';
  }
  return true;
}

std::string WithoutTrailingSeparators(std::string name) {
  while (EndsWithFolderSeparator(name)) name.pop_back();
  return name;
}

std::optional<std::string> ExtractFolder(FileSystem& files, const ArchiveCommand& command,
                                         const LzhMember& member) {
  // A flat extraction has no folders to make.
  if (command.kind != ArchiveCommandKind::ExtractWithFolders) return std::nullopt;
  const auto target = MemberTargetPath(WithoutTrailingSeparators(member.name), true);
  if (!target) return ArchiveMessage(texts::kMemberOutsideTarget, {Display(member)});
  std::vector<std::string> folders = target->folders;
  folders.push_back(target->name);
  if (!MakeFolders(files, command.baseFolder, folders)) {
    return ArchiveMessage(texts::kMemberCannotWrite, {Display(member)});
  }
  return std::nullopt;
}

std::optional<std::string> ExtractFile(FileSystem& files, const ArchiveCommand& command,
                                       LzhReader& reader, const LzhMember& member) {
  const bool keepFolders = command.kind == ArchiveCommandKind::ExtractWithFolders;
  const auto target = MemberTargetPath(member.name, keepFolders);
  if (!target) return ArchiveMessage(texts::kMemberOutsideTarget, {Display(member)});
  if (auto failure = CheckMethod(member)) return failure;
  if (!MakeFolders(files, command.baseFolder, target->folders)) {
    return ArchiveMessage(texts::kMemberCannotWrite, {Display(member)});
  }
  return WriteMember(files, reader, member, command.baseFolder + target->RelativePath(),
                     command.alwaysReplace);
}

std::optional<std::string> ExtractMember(FileSystem& files, const ArchiveCommand& command,
                                         LzhReader& reader, const LzhMember& member) {
  switch (member.kind) {
    case MemberKind::File: return ExtractFile(files, command, reader, member);
    case MemberKind::Folder: return ExtractFolder(files, command, member);
    // A Windows product has no use for links and devices; one of them
    // must not stop an update halfway.
    case MemberKind::Link:
    case MemberKind::Device: return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> RunArchiveCommand(FileSystem& files, const ArchiveCommand& command) {
  std::string message;
  auto reader = OpenArchive(files, command.archive, message);
  if (!reader) return message;
  LzhMember member;
  for (;;) {
    switch (reader->NextMember(member)) {
      case HeaderResult::End: return std::nullopt;
      case HeaderResult::Broken: return ArchiveMessage(texts::kArchiveUnreadable, {command.archive});
      case HeaderResult::Member: break;
    }
    auto failure = command.kind == ArchiveCommandKind::Test
                       ? TestMember(*reader, member)
                       : ExtractMember(files, command, *reader, member);
    if (failure) return failure;
  }
}

}  // namespace tovrin
