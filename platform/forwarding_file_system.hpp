#pragma once
// A file system that hands every call to another. The decorators (the
// observed file system, the dry run's, the tests' fault injectors) derive
// from it and override only what they change.

#include "platform/file_system.hpp"

namespace tovrin {

class ForwardingFileSystem : public FileSystem {
 public:
  explicit ForwardingFileSystem(FileSystem& inner) : inner_(inner) {}

  DriveType GetDriveType(std::string_view root) const override { return inner_.GetDriveType(root); }
  std::vector<char> DriveLetters() const override { return inner_.DriveLetters(); }
  std::optional<std::filesystem::path> Resolve(std::string_view path) const override {
    return inner_.Resolve(path);
  }
  std::optional<std::string> ToWindowsPath(const std::filesystem::path& host) const override {
    return inner_.ToWindowsPath(host);
  }
  Presence Exists(std::string_view path) const override { return inner_.Exists(path); }
  std::optional<std::string> FinalPath(std::string_view path) const override {
    return inner_.FinalPath(path);
  }
  int Mkdir(std::string_view path) override { return inner_.Mkdir(path); }
  int Chdir(std::string_view path) override { return inner_.Chdir(path); }
  int Chdrive(int drive) override { return inner_.Chdrive(drive); }
  int Getdrive() const override { return inner_.Getdrive(); }
  std::string Getcwd() const override { return inner_.Getcwd(); }
  std::string GetWindowsDirectory() const override { return inner_.GetWindowsDirectory(); }
  bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) override {
    return inner_.CopyFile(from, to, failIfExists);
  }
  bool GetStatus(std::string_view path, FileStatus& status) const override {
    return inner_.GetStatus(path, status);
  }
  bool SetStatus(std::string_view path, const FileStatus& status) override {
    return inner_.SetStatus(path, status);
  }
  bool Remove(std::string_view path) override { return inner_.Remove(path); }
  bool Replace(std::string_view from, std::string_view to) override {
    return inner_.Replace(from, to);
  }
  // Through this layer's own Replace, so a layer that changes what Replace
  // does changes this too.
  bool ReplaceUnflushed(std::string_view from, std::string_view to) override {
    return Replace(from, to);
  }
  bool Flush(std::string_view path) override { return inner_.Flush(path); }
  std::unique_ptr<InputFile> OpenRead(std::string_view path,
                                      OpenAccess access = OpenAccess::Read) override {
    return inner_.OpenRead(path, access);
  }
  std::unique_ptr<OutputFile> Create(std::string_view path) override { return inner_.Create(path); }
  std::unique_ptr<AtomicFile> BeginReplace(std::string_view path) override {
    return inner_.BeginReplace(path);
  }
  std::optional<std::vector<FindEntry>> SearchFiles(std::string_view pattern) const override {
    return inner_.SearchFiles(pattern);
  }
  ProductLockResult LockProduct(std::string_view folder) override {
    return inner_.LockProduct(folder);
  }

 protected:
  FileSystem& inner_;
};

}  // namespace tovrin
