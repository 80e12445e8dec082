// The journal's file operations on Windows: CreateHardLinkW, CopyFileW for a
// whole copy with attributes and times, FlushFileBuffers after every record,
// MoveFileExW written through. A read-only file is taken away or replaced
// here as a POSIX rename or unlink would, its flag cleared first. Every
// folder on the way from the confining one is checked to be no reparse
// point (a junction, a symbolic link) before each operation.
#include <optional>
#include <system_error>
#include <tuple>

#include "platform/journal_files.hpp"
#include "platform/win32/files.hpp"
#include "platform/win32/windows_api.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

::DWORD Attributes(const fs::path& path) { return GetFileAttributesW(path.c_str()); }

bool IsFolder(::DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

void ClearReadOnly(const fs::path& path, ::DWORD attributes) {
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    SetFileAttributesW(path.c_str(), attributes & ~FILE_ATTRIBUTE_READONLY);
  }
}

bool Gone(::DWORD error) { return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND; }

bool IsReparsePoint(::DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// The file's volume and index, opened for no access at all: a program that
// holds it open without sharing refuses a read, not this.
std::optional<std::tuple<::DWORD, ::DWORD, ::DWORD>> FileIdentity(const fs::path& path) {
  const HANDLE handle =
      CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION information{};
  const bool known = GetFileInformationByHandle(handle, &information);
  CloseHandle(handle);
  if (!known) return std::nullopt;
  return std::tuple{information.dwVolumeSerialNumber, information.nFileIndexHigh,
                    information.nFileIndexLow};
}

class Win32JournalFiles : public JournalFiles {
 public:
  LinkResult Link(const fs::path& file, const fs::path& kept) override {
    if (!Reached(file, true) || !Reached(kept)) return LinkResult::Failed;
    if (CreateHardLinkW(kept.c_str(), file.c_str(), nullptr)) return LinkResult::Linked;
    switch (GetLastError()) {
      case ERROR_NOT_SAME_DEVICE:
      case ERROR_INVALID_FUNCTION:  // FAT and others: no hard links there
      case ERROR_NOT_SUPPORTED:
      case ERROR_TOO_MANY_LINKS:
        return LinkResult::Unsupported;
      default:
        return LinkResult::Failed;
    }
  }

  // A read-only copy is opened for its flush with the flag cleared a moment.
  bool CopyWhole(const fs::path& file, const fs::path& kept) override {
    if (!Reached(file, true) || !Reached(kept)) return false;
    if (!CopyFileW(file.c_str(), kept.c_str(), TRUE)) return false;
    const ::DWORD attributes = Attributes(kept);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    ClearReadOnly(kept, attributes);
    const bool flushed = FlushFile(kept.wstring());
    return SetFileAttributesW(kept.c_str(), attributes) && flushed;
  }

  // NTFS logs its names itself, and Windows lets no one but an
  // administrator flush a folder; what is left to check is that it is there.
  bool FlushFolder(const fs::path& folder) override {
    return Reached(folder, true) && IsFolder(Attributes(folder));
  }

  bool AppendDurably(const fs::path& file, std::string_view bytes) override {
    if (!Reached(file, true)) return false;
    const HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    Win32OutputFile output(handle);
    return output.Write(bytes) && output.Flush() && output.Close();
  }

  std::optional<std::string> ReadWhole(const fs::path& file) const override {
    if (!Reached(file, true)) return std::nullopt;
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    Win32InputFile input(handle);
    return ReadToEnd(input);
  }

  bool MoveBack(const fs::path& from, const fs::path& to) override {
    if (!Reached(from) || !Reached(to)) return false;
    const ::DWORD replaced = Attributes(to);
    ClearReadOnly(to, replaced);
    // A master folder on another volume takes a copy, then the kept file goes.
    if (MoveFileExW(from.c_str(), to.c_str(),
                    MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH | MOVEFILE_COPY_ALLOWED)) {
      return true;
    }
    if (replaced != INVALID_FILE_ATTRIBUTES) SetFileAttributesW(to.c_str(), replaced);
    return false;
  }

  bool Unchanged(const fs::path& kept, const fs::path& file) const override {
    constexpr ::DWORD kCompared = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                  FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
    const ::DWORD old = Attributes(kept);
    const ::DWORD now = Attributes(file);
    if (old == INVALID_FILE_ATTRIBUTES || now == INVALID_FILE_ATTRIBUTES || IsFolder(old) ||
        (old & kCompared) != (now & kCompared)) {
      return false;
    }
    if (!Reached(kept, true) || !Reached(file, true)) return false;
    const auto oldIdentity = FileIdentity(kept);
    if (oldIdentity && oldIdentity == FileIdentity(file)) return true;
    const auto oldContent = ReadWhole(kept);
    return oldContent && oldContent == ReadWhole(file);
  }

  bool MakeFolders(const fs::path& folder) override {
    if (!Reached(folder)) return false;
    std::error_code error;
    fs::create_directories(folder, error);
    return !error && IsFolder(Attributes(folder));
  }

  bool RemoveEntry(const fs::path& path) override {
    if (!Reached(path)) return KindOf(path) == EntryKind::Absent;
    const ::DWORD attributes = Attributes(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return Gone(GetLastError());
    if (IsFolder(attributes)) return RemoveDirectoryW(path.c_str()) || Gone(GetLastError());
    ClearReadOnly(path, attributes);
    if (DeleteFileW(path.c_str()) || Gone(GetLastError())) return true;
    SetFileAttributesW(path.c_str(), attributes);
    return false;
  }

  bool RemoveTree(const fs::path& folder) override {
    if (!Reached(folder)) return KindOf(folder) == EntryKind::Absent;
    std::error_code listing;
    for (const auto& entry : fs::recursive_directory_iterator(folder, listing)) {
      ClearReadOnly(entry.path(), Attributes(entry.path()));
    }
    std::error_code error;
    fs::remove_all(folder, error);
    return !error && KindOf(folder) == EntryKind::Absent;
  }

  EntryKind KindOf(const fs::path& path) const override {
    const auto placed = BelowRoot(path);
    if (!placed) return EntryKind::Unknown;
    fs::path reached = placed->root;
    for (const fs::path& part : placed->relative) {
      reached /= part;
      const ::DWORD attributes = Attributes(reached);
      if (attributes == INVALID_FILE_ATTRIBUTES) {
        return Gone(GetLastError()) ? EntryKind::Absent : EntryKind::Unknown;
      }
      const bool last = reached == placed->root / placed->relative;
      if (IsReparsePoint(attributes)) return last ? EntryKind::Other : EntryKind::Unknown;
      if (last) return IsFolder(attributes) ? EntryKind::Folder : EntryKind::File;
      if (!IsFolder(attributes)) return EntryKind::Absent;
    }
    return EntryKind::Folder;
  }

 private:
  // Below the confining folder, through no reparse point (and, with
  // `itself`, none at `path` either); a part that is missing is no link.
  bool Reached(const fs::path& path, bool itself = false) const {
    const auto placed = BelowRoot(path);
    if (!placed) return false;
    fs::path reached = placed->root;
    for (const fs::path& part : placed->relative.parent_path()) {
      reached /= part;
      if (IsReparsePoint(Attributes(reached))) return false;
    }
    return !itself || !IsReparsePoint(Attributes(path));
  }
};

}  // namespace

std::unique_ptr<JournalFiles> MakeJournalFiles() { return std::make_unique<Win32JournalFiles>(); }

}  // namespace tovrin
