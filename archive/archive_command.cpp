#include "archive/archive_command.hpp"

#include <set>

#include "archive/archive_message.hpp"
#include "archive/lzh_reader.hpp"
#include "archive/member_path.hpp"
#include "archive/member_writer.hpp"
#include "platform/path_text.hpp"
#include "resources/messages.hpp"

namespace tovrin {
namespace {

std::string Display(const LzhMember& member) { return MemberDisplayName(member.name); }

std::unique_ptr<LzhReader> OpenArchive(FileSystem& files, const std::string& archive,
                                       std::string& message,
                                       ArchiveDigest digest = ArchiveDigest::Skip) {
  if (files.Exists(archive) != Presence::Present) {
    message = ArchiveMessage(texts::kArchiveNotFound, {archive});
    return nullptr;
  }
  auto reader = LzhReader::Open(files, archive, digest);
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
bool MakeFolders(FileSystem& files, const std::string& base,
                 const std::vector<std::string>& folders) {
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
    case MemberKind::File:
      return ExtractFile(files, command, reader, member);
    case MemberKind::Folder:
      return ExtractFolder(files, command, member);
    // A Windows product has no use for links and devices; one of them
    // must not stop an update halfway.
    case MemberKind::Link:
    case MemberKind::Device:
      return std::nullopt;
  }
  return std::nullopt;
}

// The folder a file is in; a drive's root keeps its separator.
std::string FolderOf(const std::string& path) {
  const std::size_t separator = path_text::LastSeparator(path);
  if (separator == std::string::npos) return path;
  return path.substr(0, separator < 3 ? separator + 1 : separator);
}

// What a staged command puts in place, in archive order: the folders below
// the base folder a member needs, and its data when it has any to write.
struct StagedStep {
  std::vector<std::string> folders;
  std::optional<StagedMember> member;
  std::string shown;
};

class StagedMembers : public StagedExtraction {
 public:
  StagedMembers(FileSystem& files, std::string baseFolder)
      : files_(files),
        baseFolder_(std::move(baseFolder)) {}
  ~StagedMembers() override {
    for (std::size_t index = applied_; index < steps_.size(); ++index) {
      const auto& member = steps_[index].member;
      if (member && !member->temporary.empty()) files_.Remove(member->temporary);
    }
  }
  StagedMembers(const StagedMembers&) = delete;
  StagedMembers& operator=(const StagedMembers&) = delete;

  void Add(StagedStep step) { steps_.push_back(std::move(step)); }
  void SetArchiveSha256(const Sha256::Hash& hash) { archiveSha256_ = hash; }
  std::optional<Sha256::Hash> ArchiveSha256() const override { return archiveSha256_; }

  // All at once, after the last was written, as `sync` does: the disk takes
  // them in one go, not one wait per file. The message, or nullopt.
  std::optional<std::string> FlushTemporaries() {
    for (const StagedStep& step : steps_) {
      if (step.member && !step.member->temporary.empty() && !files_.Flush(step.member->temporary)) {
        return ArchiveMessage(texts::kMemberCannotWrite, {step.shown});
      }
    }
    return std::nullopt;
  }

  int Apply(char* output, DWORD size) override {
    std::set<std::string> renamedIn;
    std::optional<std::string> failure;
    // A step that fails is not counted as applied: its temporary goes.
    for (; applied_ < steps_.size(); ++applied_) {
      const StagedStep& step = steps_[applied_];
      if (!MakeFolders(files_, baseFolder_, step.folders)) {
        failure = ArchiveMessage(texts::kMemberCannotWrite, {step.shown});
      } else if (step.member) {
        failure = PlaceStagedMember(files_, *step.member);
        if (!step.member->temporary.empty()) {
          renamedIn.insert(FolderOf(step.member->temporary));
          renamedIn.insert(FolderOf(step.member->target));
        }
      }
      if (failure) break;
    }
    // Each folder once, whether or not all went in: the run's next steps,
    // and a restore, count on what was renamed being on the disk.
    for (const std::string& folder : renamedIn) {
      if (!files_.Flush(folder) && !failure)
        failure = ArchiveMessage(texts::kMemberCannotWrite, {folder});
    }
    CopyToOutput(failure.value_or(""), output, size);
    return failure ? 1 : 0;
  }

 private:
  FileSystem& files_;
  std::string baseFolder_;
  std::vector<StagedStep> steps_;
  std::size_t applied_ = 0;
  std::optional<Sha256::Hash> archiveSha256_;
};

// The nearest folder of `folder` (ending with a separator) that exists: the
// temporaries wait there while the folders they go into are not made yet.
std::string ExistingFolder(const FileSystem& files, std::string folder) {
  while (files.Exists(folder) != Presence::Present) {
    std::string parent = folder;
    while (!parent.empty() && path_text::IsSeparator(parent.back())) parent.pop_back();
    const std::size_t separator = path_text::LastSeparator(parent);
    if (separator == std::string::npos) return folder;
    folder = parent.substr(0, separator + 1);
  }
  return folder;
}

std::optional<std::string> StageMemberStep(FileSystem& files, const ArchiveCommand& command,
                                           LzhReader& reader, const LzhMember& member,
                                           StagedMembers& staged) {
  if (command.kind == ArchiveCommandKind::Test) {
    return TestMember(reader, member);
  }
  const bool keepFolders = command.kind == ArchiveCommandKind::ExtractWithFolders;
  if (member.kind == MemberKind::Link || member.kind == MemberKind::Device) return std::nullopt;
  if (member.kind == MemberKind::Folder) {
    if (!keepFolders) return std::nullopt;
    const auto target = MemberTargetPath(WithoutTrailingSeparators(member.name), true);
    if (!target) return ArchiveMessage(texts::kMemberOutsideTarget, {Display(member)});
    std::vector<std::string> folders = target->folders;
    folders.push_back(target->name);
    staged.Add({std::move(folders), std::nullopt, Display(member)});
    return std::nullopt;
  }
  const auto target = MemberTargetPath(member.name, keepFolders);
  if (!target) return ArchiveMessage(texts::kMemberOutsideTarget, {Display(member)});
  if (auto failure = CheckMethod(member)) return failure;
  std::string folder = command.baseFolder;
  for (const std::string& name : target->folders) folder += name + "\\";
  std::optional<StagedMember> data;
  auto failure = StageMember(files, reader, member, command.baseFolder + target->RelativePath(),
                             ExistingFolder(files, folder), command.alwaysReplace, data);
  if (failure) return failure;
  staged.Add({target->folders, std::move(data), Display(member)});
  return std::nullopt;
}

}  // namespace

std::unique_ptr<StagedExtraction> StageArchiveCommand(FileSystem& files,
                                                      const ArchiveCommand& command,
                                                      ArchiveDigest digest, std::string& message) {
  auto reader = OpenArchive(files, command.archive, message, digest);
  if (!reader) return nullptr;
  auto staged = std::make_unique<StagedMembers>(files, command.baseFolder);
  LzhMember member;
  for (;;) {
    switch (reader->NextMember(member)) {
      case HeaderResult::End:
        if (digest == ArchiveDigest::Take) {
          const auto hash = reader->ArchiveSha256();
          if (!hash) {
            message = ArchiveMessage(texts::kArchiveUnreadable, {command.archive});
            return nullptr;
          }
          staged->SetArchiveSha256(*hash);
        }
        if (auto failure = staged->FlushTemporaries()) {
          message = *failure;
          return nullptr;
        }
        return staged;
      case HeaderResult::Broken:
        message = ArchiveMessage(texts::kArchiveUnreadable, {command.archive});
        return nullptr;
      case HeaderResult::Member:
        break;
    }
    if (auto failure = StageMemberStep(files, command, *reader, member, *staged)) {
      message = *failure;
      return nullptr;
    }
  }
}

std::optional<std::string> RunArchiveCommand(FileSystem& files, const ArchiveCommand& command) {
  std::string message;
  auto reader = OpenArchive(files, command.archive, message);
  if (!reader) return message;
  LzhMember member;
  for (;;) {
    switch (reader->NextMember(member)) {
      case HeaderResult::End:
        return std::nullopt;
      case HeaderResult::Broken:
        return ArchiveMessage(texts::kArchiveUnreadable, {command.archive});
      case HeaderResult::Member:
        break;
    }
    auto failure = command.kind == ArchiveCommandKind::Test
                       ? TestMember(*reader, member)
                       : ExtractMember(files, command, *reader, member);
    if (failure) return failure;
  }
}

}  // namespace tovrin
