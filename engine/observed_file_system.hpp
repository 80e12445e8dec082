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
#include "platform/file_system.hpp"

namespace tovrin {

class ObservedFileSystem : public FileSystem {
 public:
  explicit ObservedFileSystem(FileSystem& inner) : inner_(inner) {}

  // From now on changes under `productFolder` (a Windows path) go to
  // `listener`, until StopObserving(). The bookkeeping folder ".tovrin"
  // inside it is never observed.
  void Observe(std::string_view productFolder, RunEvents& listener);
  // Observes `folder` (a Windows path outside the product the run writes
  // into, a master folder) as well, for the same listener.
  void ObserveAlso(std::string_view folder);
  void StopObserving();

  // The file system below, which writes without telling anyone.
  FileSystem& Inner() { return inner_; }

  DriveType GetDriveType(std::string_view root) const override;
  std::vector<char> DriveLetters() const override;
  std::optional<std::filesystem::path> Resolve(std::string_view path) const override;
  std::optional<std::string> ToWindowsPath(const std::filesystem::path& host) const override;

  int Access(std::string_view path) const override;
  int Mkdir(std::string_view path) override;
  int Chdir(std::string_view path) override;
  int Chdrive(int drive) override;
  int Getdrive() const override;
  std::string Getcwd() const override;
  std::string GetWindowsDirectory() const override;

  bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override;
  bool GetStatus(std::string_view path, FileStatus& status) const override;
  bool SetStatus(std::string_view path, const FileStatus& status) override;
  bool Remove(std::string_view path) override;
  bool Rename(std::string_view from, std::string_view to) override;
  bool Replace(std::string_view from, std::string_view to) override;

  std::unique_ptr<InputFile> OpenRead(std::string_view path,
                                      OpenAccess access = OpenAccess::Read) override;
  std::unique_ptr<OutputFile> Create(std::string_view path) override;
  std::unique_ptr<AtomicFile> BeginReplace(std::string_view path) override;

  std::vector<FindEntry> FindFiles(std::string_view pattern) const override;
  std::optional<std::vector<FindEntry>> SearchFiles(std::string_view pattern) const override {
    return inner_.SearchFiles(pattern);
  }
  Presence Exists(std::string_view path) const override { return inner_.Exists(path); }
  std::optional<std::string> FinalPath(std::string_view path) const override {
    return inner_.FinalPath(path);
  }
  // The lock lives in the bookkeeping folder, which is never observed.
  ProductLockResult LockProduct(std::string_view folder) override {
    return inner_.LockProduct(folder);
  }

 private:
  // The listener when `path` lies in the observed folder, else null.
  RunEvents* ListenerFor(std::string_view path) const;
  using MoveOperation = bool (FileSystem::*)(std::string_view, std::string_view);
  bool Move(std::string_view from, std::string_view to, MoveOperation move);
  // Added when nothing is at `path` yet, else `whenPresent`.
  FileChange ChangeOf(std::string_view path, FileChangeKind whenPresent) const;

  FileSystem& inner_;
  RunEvents* listener_ = nullptr;
  std::vector<std::filesystem::path> observedRoots_;
};

}  // namespace tovrin
