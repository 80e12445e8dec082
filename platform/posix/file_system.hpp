#pragma once
// The file system of the Windows world on a POSIX host: drive letters through
// the drive table, CP932 names converted to the host's UTF-8 names, letter
// case ignored as Windows ignores it. Tests derive from these classes to make
// one operation fail.

#include <sys/stat.h>

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/drive_table.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

class PosixInputFile : public InputFile {
 public:
  explicit PosixInputFile(int descriptor) : descriptor_(descriptor) {}
  ~PosixInputFile() override;
  PosixInputFile(const PosixInputFile&) = delete;
  PosixInputFile& operator=(const PosixInputFile&) = delete;

  std::optional<std::size_t> Read(char* buffer, std::size_t size) override;

 private:
  int descriptor_;
};

// Buffered writes to a descriptor; the destructor closes what is still open.
class PosixOutputFile : public OutputFile {
 public:
  explicit PosixOutputFile(int descriptor) : descriptor_(descriptor) {}
  ~PosixOutputFile() override;
  PosixOutputFile(const PosixOutputFile&) = delete;
  PosixOutputFile& operator=(const PosixOutputFile&) = delete;

  bool Write(std::string_view bytes) override;
  bool Flush() override;
  bool Close() override;
  int Descriptor() const { return descriptor_; }

 private:
  bool Drain();

  int descriptor_;
  std::string buffer_;
  bool failed_ = false;
};

// A rename or a new name is only durable once its folder is on the disk.
void SyncFolder(const std::filesystem::path& folder);

// A temporary file beside `target`, renamed over it by Commit().
// Gives `replacement` the mode, owner and stored DOS bits of `replaced`;
// false when `replaced` is read-only or not a regular file.
bool TakeOverReplacedAttributes(const std::filesystem::path& replaced,
                                const std::filesystem::path& replacement);

class PosixAtomicFile : public AtomicFile {
 public:
  PosixAtomicFile(int descriptor, std::filesystem::path temporary, std::filesystem::path target);
  ~PosixAtomicFile() override;

  bool Write(std::string_view bytes) override;
  bool Flush() override;
  bool Close() override;
  bool Commit() override;

 protected:
  // The last step of Commit(); the new content is complete and closed.
  virtual bool RenameIntoPlace();

 private:
  bool TakeOverTargetAttributes();
  void Discard();

  PosixOutputFile output_;
  std::filesystem::path temporary_;
  std::filesystem::path target_;
  bool committed_ = false;
};

class PosixFileSystem : public FileSystem {
 public:
  // `windowsDirectory`: the host folder GetWindowsDirectory answers; empty
  // for the host's temporary folder.
  explicit PosixFileSystem(DriveTable drives, std::filesystem::path windowsDirectory = {});

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
  bool ReplaceUnflushed(std::string_view from, std::string_view to) override;
  bool Flush(std::string_view path) override;

  std::unique_ptr<InputFile> OpenRead(std::string_view path,
                                      OpenAccess access = OpenAccess::Read) override;
  std::unique_ptr<OutputFile> Create(std::string_view path) override;
  std::unique_ptr<AtomicFile> BeginReplace(std::string_view path) override;

  std::optional<std::vector<FindEntry>> SearchFiles(std::string_view pattern) const override;
  ProductLockResult LockProduct(std::string_view folder) override;

 protected:
  // lstat of each part while a path is looked up; override to inject a fault.
  virtual int LookUpHost(const std::filesystem::path& host, struct stat& status) const;
  // Wrap an open descriptor; override to inject a failing file.
  virtual std::unique_ptr<InputFile> MakeInputFile(int descriptor);
  virtual std::unique_ptr<OutputFile> MakeOutputFile(int descriptor);
  virtual std::unique_ptr<AtomicFile> MakeAtomicFile(int descriptor,
                                                     std::filesystem::path temporary,
                                                     std::filesystem::path target);

 private:
  // A Windows path made absolute: drive letter and the parts below its root.
  struct Location {
    char drive = 0;
    std::vector<std::string> parts;
  };
  // Where a location lands on the host. `spelling` holds the parts as the
  // host spells them where they exist; `exists` when every part was found;
  // `failed` when a lookup failed for another reason than "no such file".
  struct HostMatch {
    std::filesystem::path host;
    std::vector<std::string> spelling;
    bool exists = true;
    bool failed = false;
  };
  struct FolderEntry {
    std::string host;
    std::string cp932;
  };

  std::optional<Location> Locate(std::string_view path) const;
  std::optional<FolderEntry> FindInFolder(const std::filesystem::path& folder,
                                          const std::string& part, const std::string& hostName,
                                          bool& failed) const;
  std::optional<HostMatch> LookUp(const Location& location) const;
  Presence RootPresence(const std::filesystem::path& root) const;
  std::optional<HostMatch> Match(const Location& location) const;
  std::optional<HostMatch> MatchPath(std::string_view path) const;
  std::optional<HostMatch> MatchExisting(std::string_view path) const;
  // Replace, with the folders flushed or not.
  bool Rename(std::string_view from, std::string_view to, bool flushed);
  std::string WindowsPath(char drive, const std::vector<std::string>& parts) const;
  std::unique_ptr<AtomicFile> BeginReplaceHost(const std::filesystem::path& target);
  bool CopyContent(const std::filesystem::path& from, AtomicFile& to);

  DriveTable drives_;
  std::filesystem::path windowsDirectory_;
  char currentDrive_ = 0;
  std::map<char, std::vector<std::string>> currentFolders_;
};

}  // namespace tovrin
