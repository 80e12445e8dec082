#pragma once
// The file system an update run writes through: every change it makes under
// the observed product folder is told to a listener first (which may forbid
// it, and the operation then fails as the platform's would), then told again
// once done, with the bytes written. Reading and everything outside the
// product folder pass straight through.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_events.hpp"
#include "platform/forwarding_file_system.hpp"

namespace tovrin {

class ObservedFileSystem : public ForwardingFileSystem {
 public:
  using ForwardingFileSystem::ForwardingFileSystem;

  // From now on changes under `productFolder` (a Windows path) go to
  // `listener`, until StopObserving(). The bookkeeping folder ".tovrin"
  // inside it is never observed.
  void Observe(std::string_view productFolder, RunEvents& listener);
  // Observes `folder` (a Windows path outside the product the run writes
  // into, a master folder) as well, for the same listener.
  void ObserveAlso(std::string_view folder);
  void StopObserving();

  // What changes the product, and reading, which its listener may hash on
  // the way; the drives, the current folders and the lock (in the
  // bookkeeping folder, never observed) pass through.
  std::unique_ptr<InputFile> OpenRead(std::string_view path, OpenAccess access) override;
  int Mkdir(std::string_view path) override;
  bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override;
  bool SetStatus(std::string_view path, const FileStatus& status) override;
  bool Remove(std::string_view path) override;
  bool Replace(std::string_view from, std::string_view to) override;
  bool ReplaceUnflushed(std::string_view from, std::string_view to) override;
  std::unique_ptr<OutputFile> Create(std::string_view path) override;
  std::unique_ptr<AtomicFile> BeginReplace(std::string_view path) override;

 private:
  // The listener when `path` lies in the observed folder, else null; one
  // that forbids every change when the path could not be looked up.
  RunEvents* ListenerFor(std::string_view path) const;
  // Added when nothing is at `path` yet, else `whenPresent`; nullopt when
  // that cannot be told.
  std::optional<FileChange> ChangeOf(std::string_view path, FileChangeKind whenPresent) const;
  // Replace or ReplaceUnflushed of the inner file system, told as both do.
  bool Move(std::string_view from, std::string_view to, bool flushed);

  RunEvents* listener_ = nullptr;
  std::vector<std::filesystem::path> observedRoots_;
};

}  // namespace tovrin
