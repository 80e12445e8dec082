#pragma once
// The file system of the Windows world on Windows itself: the program's
// CP932 paths converted to wide text and handed to the wide-character API,
// which resolves drives, current folders and letter case as it always does.

#include <string>

#include "platform/file_system.hpp"

namespace tovrin {

class Win32FileSystem : public FileSystem {
 public:
  DriveType GetDriveType(std::string_view root) const override;
  std::vector<char> DriveLetters() const override;
  std::optional<std::filesystem::path> Resolve(std::string_view path) const override;
  std::optional<std::string> ToWindowsPath(const std::filesystem::path& host) const override;

  Presence Exists(std::string_view path) const override;
  std::optional<std::string> FinalPath(std::string_view path) const override;
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
  bool Replace(std::string_view from, std::string_view to) override;
  bool ReplaceUnflushed(std::string_view from, std::string_view to) override {
    return Replace(from, to);
  }
  bool Flush(std::string_view path) override;

  std::unique_ptr<InputFile> OpenRead(std::string_view path,
                                      OpenAccess access = OpenAccess::Read) override;
  std::unique_ptr<OutputFile> Create(std::string_view path) override;
  std::unique_ptr<AtomicFile> BeginReplace(std::string_view path) override;

  std::optional<std::vector<FindEntry>> SearchFiles(std::string_view pattern) const override;
  ProductLockResult LockProduct(std::string_view folder) override;
};

}  // namespace tovrin
