#pragma once
// The Win32 file system with test drives laid over it, as `subst` lays a
// folder over a drive letter: C: of a test is a fresh temporary folder, with
// the type the test gives it, while every call still goes through the real
// Win32 side. The current drive and folders are kept here, as the POSIX side
// keeps them, so that a test never moves the process's own.

#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/drive_table.hpp"
#include "platform/win32/file_system.hpp"

namespace tovrin::testing {

class SubstitutedFileSystem : public Win32FileSystem {
 public:
  explicit SubstitutedFileSystem(DriveTable drives, std::filesystem::path windowsDirectory = {});

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
  bool Flush(std::string_view path) override;

  std::unique_ptr<InputFile> OpenRead(std::string_view path,
                                      OpenAccess access = OpenAccess::Read) override;
  std::unique_ptr<OutputFile> Create(std::string_view path) override;
  std::unique_ptr<AtomicFile> BeginReplace(std::string_view path) override;

  std::optional<std::vector<FindEntry>> SearchFiles(std::string_view pattern) const override;
  ProductLockResult LockProduct(std::string_view folder) override;

 private:
  // The test's path as a real Windows path; nullopt for an unmapped drive.
  std::optional<std::string> Real(std::string_view path) const;
  // A real path as the test sees it, by the longest substituted root.
  std::string Seen(const std::string& real) const;
  // Drive letter and the parts below its root, "." and ".." resolved.
  std::optional<std::pair<char, std::string>> Absolute(std::string_view path) const;

  DriveTable drives_;
  std::filesystem::path windowsDirectory_;
  std::map<char, std::string> roots_;  // real CP932 path of each root, no final separator
  char currentDrive_ = 0;
  std::map<char, std::string> currentFolders_;  // "\PROG", empty at the root
};

}  // namespace tovrin::testing
