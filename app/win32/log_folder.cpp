#include "app/log_folder.hpp"

#include <fcntl.h>
#include <io.h>

#include <cerrno>
#include <cstdint>

#include "platform/win32/windows_api.hpp"

#include <knownfolders.h>
#include <shlobj.h>

namespace tovrin {

namespace fs = std::filesystem;

// %LOCALAPPDATA%\tovrin\logs: the user's own, not roaming with the profile.
std::optional<LogFolder> DefaultLogFolder(std::string& reason) {
  wchar_t* folder = nullptr;
  const bool found = SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &folder));
  std::optional<LogFolder> logFolder;
  if (found) logFolder = LogFolder{fs::path(folder) / L"tovrin" / L"logs", fs::path(folder)};
  CoTaskMemFree(folder);
  if (!logFolder) reason = "Windows names no local application data folder";
  return logFolder;
}

// The folders inherit the local application data folder's access, which is
// the user's alone.
std::error_code MakePrivateFolders(const LogFolder& folder) {
  std::error_code error;
  if (!fs::is_directory(folder.mustExist, error)) {
    return error ? error : std::make_error_code(std::errc::no_such_file_or_directory);
  }
  fs::create_directories(folder.path, error);
  return error;
}

// The C library here knows no "x" mode: the file is made by the system.
std::FILE* OpenLogFile(const fs::path& path, bool exclusive) {
  const HANDLE handle =
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                  exclusive ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    const ::DWORD error = GetLastError();
    errno = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS ? EEXIST
            : error == ERROR_ACCESS_DENIED                              ? EACCES
                                                                        : ENOENT;
    return nullptr;
  }
  // A pipe or another device is no log file; the console is.
  const ::DWORD type = GetFileType(handle);
  if (type != FILE_TYPE_DISK && type != FILE_TYPE_CHAR) {
    CloseHandle(handle);
    errno = kNotALogTarget;
    return nullptr;
  }
  const int descriptor = _open_osfhandle(reinterpret_cast<std::intptr_t>(handle), _O_BINARY);
  if (descriptor < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(descriptor, "wb");
  if (file == nullptr) _close(descriptor);
  return file;
}

std::tm LocalTime(std::time_t time) {
  std::tm local{};
  localtime_s(&local, &time);
  return local;
}

std::tm UtcTime(std::time_t time) {
  std::tm utc{};
  gmtime_s(&utc, &time);
  return utc;
}

}  // namespace tovrin
