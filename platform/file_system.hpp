#pragma once
// The Windows file operations the program calls, on CP932 Windows paths
// resolved through the drive table. Each system's side implements it
// (posix/file_system.hpp, win32/file_system.hpp); tests derive from it to
// inject faults.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/product_lock.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {

// CFileStatus: times, size, attribute byte, full Windows path.
struct FileStatus {
  std::time_t creationTime = 0;
  std::time_t modificationTime = 0;
  std::time_t accessTime = 0;
  std::uint64_t size = 0;
  std::uint8_t attribute = ATTR_NORMAL;
  std::string fullName;
};

// One entry of a directory search (CFileFind).
struct FindEntry {
  std::string name;  // CP932, without folder
  std::uint8_t attribute = ATTR_NORMAL;
  // A symbolic link or junction (attribute and kind are those of its target).
  bool isLink = false;
  bool IsDirectory() const { return (attribute & ATTR_DIRECTORY) != 0; }
  bool IsDots() const { return name == "." || name == ".."; }
};

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to `size` bytes; 0 at the end of the file. Nullopt on a read error.
  virtual std::optional<std::size_t> Read(char* buffer, std::size_t size) = 0;
};

// The rest of `input`; nullopt on a read error.
inline std::optional<std::string> ReadToEnd(InputFile& input) {
  std::string content;
  char buffer[8192];
  for (;;) {
    const auto count = input.Read(buffer, sizeof buffer);
    if (!count) return std::nullopt;
    if (*count == 0) return content;
    content.append(buffer, *count);
  }
}

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  virtual bool Write(std::string_view bytes) = 0;
  // Flushes to the disk (fsync); false when the data may not be there.
  virtual bool Flush() = 0;
  virtual bool Close() = 0;
};

// A replacement for one file, written beside it and renamed over it only by
// Commit(); destroyed without Commit(), it leaves nothing behind.
class AtomicFile : public OutputFile {
 public:
  // Flushes, closes and renames the new content into place, keeping the
  // permission bits of the file it replaces.
  virtual bool Commit() = 0;
};

enum class OpenAccess { Read, ReadWrite };

// Whether a path names something. Only "no such file" makes it Absent; a
// lookup that failed otherwise (an I/O error, a folder that cannot be
// searched) leaves it Unknown, and no step may take that for absent.
enum class Presence { Absent, Present, Unknown };

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // Drives and paths.
  virtual DriveType GetDriveType(std::string_view root) const = 0;  // "A:" or "A:\"
  virtual std::vector<char> DriveLetters() const = 0;               // upper case, in order
  // The host path a Windows path resolves to (existing components matched
  // without regard to case, the rest appended); nullopt for an unmapped drive.
  virtual std::optional<std::filesystem::path> Resolve(std::string_view path) const = 0;
  // The Windows path of a host path, by the longest drive root.
  virtual std::optional<std::string> ToWindowsPath(const std::filesystem::path& host) const = 0;

  // _access mode 0, telling a name that is surely absent from one whose
  // lookup failed.
  virtual Presence Exists(std::string_view path) const = 0;
  // GetFinalPathNameByHandle: the Windows path of what `path` finally names,
  // every link followed; nullopt when it names nothing or lies on no drive.
  virtual std::optional<std::string> FinalPath(std::string_view path) const = 0;
  // The runtime library: 0 on success, -1 on failure.
  virtual int Mkdir(std::string_view path) = 0;  // the last folder only
  virtual int Chdir(std::string_view path) = 0;
  virtual int Chdrive(int drive) = 0;  // 1 = A:
  virtual int Getdrive() const = 0;
  virtual std::string Getcwd() const = 0;  // "C:\PROG", "C:\"
  virtual std::string GetWindowsDirectory() const = 0;

  // CopyFileA; refuses an existing read-only or hidden target.
  virtual bool CopyFile(std::string_view from, std::string_view to, bool failIfExists) = 0;
  // CFile::GetStatus / SetStatus (attribute byte and times).
  virtual bool GetStatus(std::string_view path, FileStatus& status) const = 0;
  virtual bool SetStatus(std::string_view path, const FileStatus& status) = 0;
  // CFile::Remove.
  virtual bool Remove(std::string_view path) = 0;
  // Renames over an existing file in one step, keeping its permission bits
  // and DOS attributes (refused when it is read-only).
  virtual bool Replace(std::string_view from, std::string_view to) = 0;
  // As Replace, but the folders' changed entries reach the disk only with
  // Flush: many renames into one folder, flushed once.
  virtual bool ReplaceUnflushed(std::string_view from, std::string_view to) = 0;
  // Puts a file's written data, or a folder's entries, on the disk.
  virtual bool Flush(std::string_view path) = 0;

  // Opening files. ReadWrite fails on a read-only file, as on Windows.
  virtual std::unique_ptr<InputFile> OpenRead(std::string_view path,
                                              OpenAccess access = OpenAccess::Read) = 0;
  // Creates a new file, first removing a regular file (not a read-only one)
  // or a link that held the name; never writes through a link.
  virtual std::unique_ptr<OutputFile> Create(std::string_view path) = 0;
  // Begins a replacement of `path` (which need not exist yet); null when the
  // folder is missing or the file is read-only.
  virtual std::unique_ptr<AtomicFile> BeginReplace(std::string_view path) = 0;

  // CFileFind with Windows wildcards (`*`, `?`, no regard to case); "." and
  // ".." delivered as Windows delivers them. Nullopt when the folder exists
  // but cannot be listed (a folder that does not exist lists nothing).
  virtual std::optional<std::vector<FindEntry>> SearchFiles(std::string_view pattern) const = 0;
  // The same search where a folder that cannot be listed lists nothing.
  std::vector<FindEntry> FindFiles(std::string_view pattern) const {
    return SearchFiles(pattern).value_or(std::vector<FindEntry>{});
  }
  // Takes the run's lock on an existing product folder (see product_lock.hpp).
  virtual ProductLockResult LockProduct(std::string_view folder) = 0;
};

}  // namespace tovrin
