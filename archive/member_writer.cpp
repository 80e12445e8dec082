#include "archive/member_writer.hpp"

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <system_error>

#include "archive/archive_message.hpp"
#include "archive/member_path.hpp"
#include "platform/temporary_name.hpp"
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

std::uint64_t SizeOf(const FileSystem& files, const std::string& path) {
  FileStatus status;
  return files.GetStatus(path, status) ? status.size : ~std::uint64_t{0};
}

// Takes a member's data where a file of the same size already stands:
// compared as it is decoded, so an unchanged file is neither read twice nor
// written. From the first difference on a replacement is written (when one
// may be), its first part copied from the file; `Output` is the product's
// atomic replacement or a staged temporary.
template <class Output>
class ChangeWriter {
 public:
  using Begin = std::function<std::unique_ptr<Output>()>;

  ChangeWriter(FileSystem& files, std::string target, Begin begin)
      : files_(files),
        target_(std::move(target)),
        begin_(std::move(begin)) {
    existing_ = files_.OpenRead(target_);
  }

  bool Opened() const { return existing_ != nullptr; }
  bool Changed() const { return replacement_ != nullptr; }
  Output& Replacement() { return *replacement_; }
  // Closes what is open, as Windows wants before a file is removed.
  void Release() {
    existing_.reset();
    replacement_.reset();
  }

  // False when the data differs and no replacement may or could be begun.
  bool Take(std::string_view block, bool mayReplace) {
    if (replacement_) return replacement_->Write(block);
    if (ReadExisting(block.size()) && stored_ == block) {
      same_ += block.size();
      return true;
    }
    return mayReplace && Diverge() && replacement_->Write(block);
  }

  // True when the file held nothing more than the data; else the data is
  // written anew (when it may be).
  bool Finish(bool mayReplace) {
    if (replacement_) return true;
    char extra = 0;
    const auto more = existing_->Read(&extra, 1);
    // Closed before the file is replaced or its status set, as Windows wants.
    existing_.reset();
    if (more && *more == 0) return true;
    return mayReplace && Diverge();
  }

 private:
  bool ReadExisting(std::size_t size) {
    stored_.resize(size);
    std::size_t got = 0;
    while (got < size) {
      const auto count = existing_->Read(stored_.data() + got, size - got);
      if (!count || *count == 0) return false;
      got += *count;
    }
    return true;
  }

  bool Diverge() {
    existing_.reset();
    replacement_ = begin_();
    auto again = replacement_ ? files_.OpenRead(target_) : nullptr;
    if (!again) return false;
    char buffer[8192];
    for (std::uint64_t left = same_; left != 0;) {
      const auto count = again->Read(
          buffer, static_cast<std::size_t>(std::min<std::uint64_t>(left, sizeof buffer)));
      if (!count || *count == 0 || !replacement_->Write({buffer, *count})) return false;
      left -= *count;
    }
    return true;
  }

  FileSystem& files_;
  std::string target_;
  Begin begin_;
  std::unique_ptr<InputFile> existing_;
  std::unique_ptr<Output> replacement_;
  std::string stored_;
  std::uint64_t same_ = 0;
};

bool StatusDiffers(const FileStatus& status, const LzhMember& member) {
  return status.modificationTime != member.modificationTime || status.attribute != member.attribute;
}

// A file that already holds exactly the member's bytes is the member in
// place: nothing is written, and only a time stamp or attributes that differ
// are set. A protected one (a read-only member an earlier run extracted) is
// refused unless it holds them.
std::optional<std::string> WriteIfChanged(FileSystem& files, LzhReader& reader,
                                          const LzhMember& member, const std::string& target,
                                          bool mayReplace) {
  ChangeWriter<AtomicFile> writer(files, target, [&] { return files.BeginReplace(target); });
  if (!writer.Opened()) return CannotWrite(member);
  const DataResult result =
      reader.ReadData([&](std::string_view block) { return writer.Take(block, mayReplace); });
  if (result == DataResult::Corrupt || result == DataResult::TooLarge)
    return UnreadMemberMessage(member, result);
  if (result != DataResult::Complete || !writer.Finish(mayReplace)) return CannotWrite(member);
  if (writer.Changed() && !writer.Replacement().Commit()) return CannotWrite(member);
  FileStatus status;
  if (!mayReplace || (files.GetStatus(target, status) && !StatusDiffers(status, member))) {
    return std::nullopt;
  }
  if (!files.SetStatus(target, MemberStatus(member))) return CannotWrite(member);
  return std::nullopt;
}

// As WriteIfChanged, but a changed file goes to a flushed temporary in
// `stagingFolder`; an unchanged one whose time stamp or attributes differ
// waits with no temporary, for its status alone.
std::optional<std::string> StageIfChanged(FileSystem& files, LzhReader& reader,
                                          const LzhMember& member, const std::string& target,
                                          const std::string& stagingFolder, bool mayReplace,
                                          std::optional<StagedMember>& staged) {
  std::string temporary;
  ChangeWriter<OutputFile> writer(files, target, [&] {
    temporary = stagingFolder + temporary_name::Make();
    return files.Create(temporary);
  });
  if (!writer.Opened()) return CannotWrite(member);
  const DataResult result =
      reader.ReadData([&](std::string_view block) { return writer.Take(block, mayReplace); });
  const bool written = result == DataResult::Complete && writer.Finish(mayReplace) &&
                       (!writer.Changed() || writer.Replacement().Close());
  const bool changed = writer.Changed();
  writer.Release();
  if (!written) {
    if (!temporary.empty()) files.Remove(temporary);
    if (result == DataResult::Corrupt || result == DataResult::TooLarge)
      return UnreadMemberMessage(member, result);
    return CannotWrite(member);
  }
  FileStatus status;
  if (changed) {
    staged = StagedMember{MemberDisplayName(member.name), temporary, target, MemberStatus(member)};
  } else if (mayReplace && (!files.GetStatus(target, status) || StatusDiffers(status, member))) {
    staged = StagedMember{MemberDisplayName(member.name), {}, target, MemberStatus(member)};
  }
  return std::nullopt;
}

}  // namespace

std::string UnreadMemberMessage(const LzhMember& member, DataResult result) {
  const auto text = result == DataResult::TooLarge ? texts::kMemberTooLarge : texts::kMemberCorrupt;
  return ArchiveMessage(text, {MemberDisplayName(member.name)});
}

std::optional<std::string> WriteMember(FileSystem& files, LzhReader& reader,
                                       const LzhMember& member, const std::string& target,
                                       bool alwaysReplace) {
  switch (CheckExisting(files, member, target, alwaysReplace)) {
    case Existing::Folder:
      return CannotWrite(member);
    case Existing::Protected:
      return WriteIfChanged(files, reader, member, target, false);
    case Existing::Newer:
      return std::nullopt;
    case Existing::Replaceable:
      if (!FitsFreeSpace(files, target, member.size)) return CannotWrite(member);
      if (SizeOf(files, target) == member.size)
        return WriteIfChanged(files, reader, member, target, true);
      break;
    case Existing::None:
      if (!FitsFreeSpace(files, target, member.size)) return CannotWrite(member);
      break;
  }
  auto file = files.BeginReplace(target);
  if (!file) return CannotWrite(member);

  const DataResult result =
      reader.ReadData([&](std::string_view block) { return file->Write(block); });
  if (result == DataResult::SinkFailed) return CannotWrite(member);
  if (result == DataResult::Corrupt || result == DataResult::TooLarge)
    return UnreadMemberMessage(member, result);
  if (!file->Commit()) return CannotWrite(member);
  if (!files.SetStatus(target, MemberStatus(member))) return CannotWrite(member);
  return std::nullopt;
}

std::optional<std::string> StageMember(FileSystem& files, LzhReader& reader,
                                       const LzhMember& member, const std::string& target,
                                       const std::string& stagingFolder, bool alwaysReplace,
                                       std::optional<StagedMember>& staged) {
  staged.reset();
  switch (CheckExisting(files, member, target, alwaysReplace)) {
    case Existing::Folder:
      return CannotWrite(member);
    case Existing::Protected:
      return StageIfChanged(files, reader, member, target, stagingFolder, false, staged);
    case Existing::Newer:
      return std::nullopt;
    case Existing::None:
    case Existing::Replaceable:
      break;
  }
  if (!FitsFreeSpace(files, target, member.size)) return CannotWrite(member);
  if (SizeOf(files, target) == member.size) {
    return StageIfChanged(files, reader, member, target, stagingFolder, true, staged);
  }
  const std::string temporary = stagingFolder + temporary_name::Make();
  auto file = files.Create(temporary);
  if (!file) return CannotWrite(member);
  const DataResult result =
      reader.ReadData([&](std::string_view block) { return file->Write(block); });
  const bool written = result == DataResult::Complete && file->Close();
  file.reset();
  if (!written) {
    files.Remove(temporary);
    if (result == DataResult::Corrupt || result == DataResult::TooLarge)
      return UnreadMemberMessage(member, result);
    return CannotWrite(member);
  }
  staged = StagedMember{MemberDisplayName(member.name), temporary, target, MemberStatus(member)};
  return std::nullopt;
}

std::optional<std::string> PlaceStagedMember(FileSystem& files, const StagedMember& staged) {
  const bool placed =
      staged.temporary.empty() || files.ReplaceUnflushed(staged.temporary, staged.target);
  if (!placed || !files.SetStatus(staged.target, staged.status)) {
    return ArchiveMessage(texts::kMemberCannotWrite, {staged.shown});
  }
  return std::nullopt;
}

}  // namespace tovrin
