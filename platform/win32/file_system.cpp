#include "platform/win32/file_system.hpp"

#include <direct.h>

#include <algorithm>
#include <random>

#include "platform/win32/wide_text.hpp"
#include "platform/win32/files.hpp"
#include "platform/win32/windows_api.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

constexpr ::DWORD kDosAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                   FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY |
                                   FILE_ATTRIBUTE_ARCHIVE;
constexpr ::DWORD kSettableAttributes = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                                        FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;
// Seconds between 1601-01-01 (FILETIME) and 1970-01-01 (time_t).
constexpr std::int64_t kEpochDifference = 11644473600LL;
constexpr std::int64_t kTicksPerSecond = 10000000LL;

// Only these mean "there is no such file"; any other error leaves it unknown.
bool IsAbsence(::DWORD error) {
  return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ||
         error == ERROR_INVALID_NAME;
}

std::wstring Wide(std::string_view path) {
  return win32::WideFromCp932(path).value_or(std::wstring());
}

std::optional<std::wstring> FullPath(const std::wstring& path) {
  if (path.empty()) return std::nullopt;
  const ::DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return std::nullopt;
  std::wstring full(needed, L'\0');
  const ::DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
  if (length == 0 || length >= needed) return std::nullopt;
  full.resize(length);
  return full;
}

// The existing part of a full path spelled as the disk spells it (letter
// case, long names), the rest as given.
std::wstring SpelledAsOnDisk(const std::wstring& full) {
  std::wstring existing = full;
  std::wstring rest;
  while (!existing.empty()) {
    const ::DWORD needed = GetLongPathNameW(existing.c_str(), nullptr, 0);
    if (needed != 0) {
      std::wstring spelled(needed, L'\0');
      const ::DWORD length = GetLongPathNameW(existing.c_str(), spelled.data(), needed);
      if (length != 0 && length < needed) {
        spelled.resize(length);
        if (!rest.empty() && spelled.ends_with(L'\\')) rest.erase(0, 1);
        return spelled + rest;
      }
    }
    const auto separator = existing.find_last_of(L"\\/");
    if (separator == std::wstring::npos || separator + 1 == existing.size()) break;
    rest = existing.substr(separator) + rest;
    existing.resize(separator == 2 ? 3 : separator);
  }
  return full;
}

::DWORD Attributes(const std::wstring& path) {
  return path.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(path.c_str());
}

bool IsFile(::DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsReadOnlyFile(::DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0;
}

std::time_t ToTime(const FILETIME& time) {
  const auto ticks = static_cast<std::int64_t>(
      (static_cast<std::uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
  return static_cast<std::time_t>(ticks / kTicksPerSecond - kEpochDifference);
}

FILETIME ToFileTime(std::time_t time) {
  const auto ticks = static_cast<std::uint64_t>(
      (static_cast<std::int64_t>(time) + kEpochDifference) * kTicksPerSecond);
  return {static_cast<::DWORD>(ticks & 0xFFFFFFFFu), static_cast<::DWORD>(ticks >> 32)};
}

// The folder a file lies in, from its full path, so that a name relative to
// a drive's current folder ("C:name") gets its temporary file beside it.
std::wstring FolderOf(const std::wstring& path) {
  const std::wstring full = FullPath(path).value_or(path);
  const auto separator = full.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring(L".") : full.substr(0, separator + 1);
}

// A new temporary file in `folder`, named as on every system the program
// runs on; INVALID_HANDLE_VALUE when none can be made.
HANDLE CreateTemporary(const std::wstring& folder, std::wstring& temporary) {
  static thread_local std::mt19937 random{std::random_device{}()};
  for (int attempt = 0; attempt < 64; ++attempt) {
    wchar_t suffix[16];
    swprintf(suffix, 16, L"%08x", static_cast<unsigned>(random()));
    temporary = folder + (folder.ends_with(L'\\') || folder.ends_with(L'/') ? L"" : L"\\") +
                L".tovrin-" + suffix + L".tmp";
    const HANDLE handle = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle != INVALID_HANDLE_VALUE || GetLastError() != ERROR_FILE_EXISTS) return handle;
  }
  return INVALID_HANDLE_VALUE;
}

}  // namespace

DriveType Win32FileSystem::GetDriveType(std::string_view root) const {
  if (root.size() < 2 || root[1] != ':') return static_cast<DriveType>(DRIVE_NO_ROOT_DIR);
  const wchar_t path[] = {static_cast<wchar_t>(static_cast<unsigned char>(root[0])), L':', L'\\',
                          L'\0'};
  return static_cast<DriveType>(GetDriveTypeW(path));
}

std::vector<char> Win32FileSystem::DriveLetters() const {
  const ::DWORD present = GetLogicalDrives();
  std::vector<char> letters;
  for (int drive = 0; drive < 26; ++drive) {
    if ((present & (1u << drive)) != 0) letters.push_back(static_cast<char>('A' + drive));
  }
  return letters;
}

std::optional<fs::path> Win32FileSystem::Resolve(std::string_view path) const {
  const auto wide = win32::WideFromCp932(path);
  if (!wide) return std::nullopt;
  if (path.size() >= 2 && path[1] == ':') {
    const auto letters = DriveLetters();
    const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
    if (std::find(letters.begin(), letters.end(), letter) == letters.end()) return std::nullopt;
  }
  const auto full = FullPath(*wide);
  if (!full) return std::nullopt;
  return fs::path(SpelledAsOnDisk(*full));
}

std::optional<std::string> Win32FileSystem::ToWindowsPath(const fs::path& host) const {
  const auto full = FullPath(host.wstring());
  if (!full) return std::nullopt;
  return win32::Cp932FromWide(*full);
}

Presence Win32FileSystem::Exists(std::string_view path) const {
  if (Attributes(Wide(path)) != INVALID_FILE_ATTRIBUTES) return Presence::Present;
  return IsAbsence(GetLastError()) ? Presence::Absent : Presence::Unknown;
}

std::optional<std::string> Win32FileSystem::FinalPath(std::string_view path) const {
  const auto wide = Wide(path);
  if (wide.empty()) return std::nullopt;
  const HANDLE file =
      CreateFileW(wide.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  wchar_t final[32768];
  const ::DWORD length = GetFinalPathNameByHandleW(file, final, 32768, VOLUME_NAME_DOS);
  CloseHandle(file);
  if (length == 0 || length >= 32768) return std::nullopt;
  std::wstring_view name(final, length);
  if (name.starts_with(L"\\\\?\\")) name.remove_prefix(4);
  return win32::Cp932FromWide(name);
}

int Win32FileSystem::Mkdir(std::string_view path) {
  const auto wide = Wide(path);
  return !wide.empty() && CreateDirectoryW(wide.c_str(), nullptr) ? 0 : -1;
}

int Win32FileSystem::Chdir(std::string_view path) {
  const auto wide = Wide(path);
  return wide.empty() ? -1 : _wchdir(wide.c_str());
}

int Win32FileSystem::Chdrive(int drive) { return _chdrive(drive); }

int Win32FileSystem::Getdrive() const { return _getdrive(); }

std::string Win32FileSystem::Getcwd() const {
  wchar_t* current = _wgetcwd(nullptr, 0);
  if (current == nullptr) return {};
  auto path = win32::Cp932FromWide(current);
  free(current);
  return path.value_or(std::string());
}

std::string Win32FileSystem::GetWindowsDirectory() const {
  wchar_t folder[MAX_PATH];
  const UINT length = GetWindowsDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return {};
  return win32::Cp932FromWide(std::wstring_view(folder, length)).value_or(std::string());
}

// CopyFileW gives the copy the source's attributes and times; the copy goes
// to a temporary file first, so the target appears whole or not at all.
bool Win32FileSystem::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  const auto source = Wide(from);
  const auto target = Wide(to);
  if (!IsFile(Attributes(source)) || target.empty()) return false;
  const ::DWORD existing = Attributes(target);
  if (existing != INVALID_FILE_ATTRIBUTES &&
      (failIfExists || !IsFile(existing) ||
       (existing & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN)) != 0)) {
    return false;
  }
  std::wstring temporary;
  const HANDLE reserved = CreateTemporary(FolderOf(target), temporary);
  if (reserved == INVALID_HANDLE_VALUE) return false;
  CloseHandle(reserved);
  if (CopyFileW(source.c_str(), temporary.c_str(), FALSE) && FlushFile(temporary) &&
      MoveFileExW(temporary.c_str(), target.c_str(),
                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    return true;
  }
  SetFileAttributesW(temporary.c_str(), FILE_ATTRIBUTE_NORMAL);
  DeleteFileW(temporary.c_str());
  return false;
}

bool Win32FileSystem::GetStatus(std::string_view path, FileStatus& status) const {
  const auto wide = Wide(path);
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (wide.empty() || !GetFileAttributesExW(wide.c_str(), GetFileExInfoStandard, &data))
    return false;
  const auto full = FullPath(wide);
  const auto fullName = full ? win32::Cp932FromWide(*full) : std::nullopt;
  if (!fullName) return false;
  status.creationTime = ToTime(data.ftCreationTime);
  status.modificationTime = ToTime(data.ftLastWriteTime);
  status.accessTime = ToTime(data.ftLastAccessTime);
  const bool folder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  status.size =
      folder ? 0 : (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  status.attribute = static_cast<std::uint8_t>(data.dwFileAttributes & kDosAttributes);
  status.fullName = *fullName;
  return true;
}

// Times first: a file made read-only keeps the times it was given.
bool Win32FileSystem::SetStatus(std::string_view path, const FileStatus& status) {
  const auto wide = Wide(path);
  if (Attributes(wide) == INVALID_FILE_ATTRIBUTES) return false;
  if (status.modificationTime != 0) {
    const HANDLE handle =
        CreateFileW(wide.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const FILETIME written = ToFileTime(status.modificationTime);
    const FILETIME accessed =
        ToFileTime(status.accessTime != 0 ? status.accessTime : status.modificationTime);
    const bool set = SetFileTime(handle, nullptr, &accessed, &written) != 0;
    CloseHandle(handle);
    if (!set) return false;
  }
  const ::DWORD attributes = status.attribute & kSettableAttributes;
  return SetFileAttributesW(wide.c_str(), attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes) !=
         0;
}

bool Win32FileSystem::Remove(std::string_view path) {
  const auto wide = Wide(path);
  return IsFile(Attributes(wide)) && DeleteFileW(wide.c_str()) != 0;
}

bool Win32FileSystem::Replace(std::string_view from, std::string_view to) {
  const auto source = Wide(from);
  const auto target = Wide(to);
  if (!IsFile(Attributes(source)) || target.empty()) return false;
  if (Attributes(target) != INVALID_FILE_ATTRIBUTES)
    return MoveOverKeepingAttributes(source, target);
  return MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
}

// Windows lets only an administrator flush a folder; a file's data is
// flushed through a handle that may write.
bool Win32FileSystem::Flush(std::string_view path) {
  const auto wide = Wide(path);
  const ::DWORD attributes = Attributes(wide);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if (!IsFile(attributes)) return true;
  const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(handle) != 0;
  CloseHandle(handle);
  return flushed;
}

// The read-only attribute is checked here as well: Wine run by root would
// open the file for writing regardless.
std::unique_ptr<InputFile> Win32FileSystem::OpenRead(std::string_view path, OpenAccess access) {
  const auto wide = Wide(path);
  if (wide.empty() || (access == OpenAccess::ReadWrite && IsReadOnlyFile(Attributes(wide))))
    return nullptr;
  const ::DWORD rights =
      access == OpenAccess::ReadWrite ? GENERIC_READ | GENERIC_WRITE : GENERIC_READ;
  const HANDLE handle = CreateFileW(wide.c_str(), rights, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32InputFile>(handle);
}

// A new file: what held the name (a file, or a link, never its target) is
// removed first, and the file is made only if nothing took the name since.
std::unique_ptr<OutputFile> Win32FileSystem::Create(std::string_view path) {
  const auto wide = Wide(path);
  const ::DWORD existing = Attributes(wide);
  if (wide.empty() || IsReadOnlyFile(existing)) return nullptr;
  if (existing != INVALID_FILE_ATTRIBUTES && !DeleteFileW(wide.c_str())) return nullptr;
  const HANDLE handle = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32OutputFile>(handle);
}

std::unique_ptr<AtomicFile> Win32FileSystem::BeginReplace(std::string_view path) {
  const auto target = Wide(path);
  if (target.empty()) return nullptr;
  const ::DWORD folder = Attributes(FolderOf(target));
  if (folder == INVALID_FILE_ATTRIBUTES || (folder & FILE_ATTRIBUTE_DIRECTORY) == 0) return nullptr;
  const ::DWORD existing = Attributes(target);
  if (existing != INVALID_FILE_ATTRIBUTES &&
      (!IsFile(existing) || (existing & FILE_ATTRIBUTE_READONLY) != 0)) {
    return nullptr;
  }
  std::wstring temporary;
  const HANDLE handle = CreateTemporary(FolderOf(target), temporary);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32AtomicFile>(handle, std::move(temporary), target);
}

// Entries after "." and ".." sorted by their bytes, as on the POSIX side, so
// that a search gives the same order on every file system.
std::optional<std::vector<FindEntry>> Win32FileSystem::SearchFiles(std::string_view pattern) const {
  const auto wide = Wide(pattern);
  if (wide.empty()) return std::vector<FindEntry>{};
  WIN32_FIND_DATAW found{};
  const HANDLE search =
      FindFirstFileExW(wide.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch, nullptr, 0);
  if (search == INVALID_HANDLE_VALUE) {
    if (IsAbsence(GetLastError())) return std::vector<FindEntry>{};
    return std::nullopt;
  }
  std::vector<FindEntry> dots;
  std::vector<FindEntry> entries;
  do {
    // A name with no CP932 spelling cannot be named by the program.
    auto name = win32::Cp932FromWide(found.cFileName);
    if (!name) continue;
    const auto attribute = static_cast<std::uint8_t>(found.dwFileAttributes & kDosAttributes);
    FindEntry entry{*std::move(name), attribute};
    entry.isLink = (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    (entry.IsDots() ? dots : entries).push_back(std::move(entry));
  } while (FindNextFileW(search, &found));
  const bool listed = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(search);
  if (!listed) return std::nullopt;
  std::sort(dots.begin(), dots.end(),
            [](const FindEntry& a, const FindEntry& b) { return a.name < b.name; });
  std::sort(entries.begin(), entries.end(),
            [](const FindEntry& a, const FindEntry& b) { return a.name < b.name; });
  dots.insert(dots.end(), std::make_move_iterator(entries.begin()),
              std::make_move_iterator(entries.end()));
  return dots;
}

ProductLockResult Win32FileSystem::LockProduct(std::string_view folder) {
  return LockProductFolder(Wide(folder));
}

}  // namespace tovrin
