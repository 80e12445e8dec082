#include "platform/win32/files.hpp"

#include <algorithm>
#include <climits>

#include "platform/win32/windows_api.hpp"

namespace tovrin {

Win32InputFile::~Win32InputFile() { CloseHandle(handle_); }

std::optional<std::size_t> Win32InputFile::Read(char* buffer, std::size_t size) {
  ::DWORD read = 0;
  const auto wanted = static_cast<::DWORD>(std::min<std::size_t>(size, INT_MAX));
  if (!ReadFile(handle_, buffer, wanted, &read, nullptr)) return std::nullopt;
  return read;
}

Win32OutputFile::~Win32OutputFile() { Close(); }

bool Win32OutputFile::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    if (handle_ == INVALID_HANDLE_VALUE) return false;
    ::DWORD written = 0;
    const auto chunk = static_cast<::DWORD>(std::min<std::size_t>(bytes.size(), INT_MAX));
    if (!WriteFile(handle_, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

bool Win32OutputFile::Flush() {
  return handle_ != INVALID_HANDLE_VALUE && FlushFileBuffers(handle_) != 0;
}

bool Win32OutputFile::Close() {
  if (handle_ == INVALID_HANDLE_VALUE) return true;
  const bool closed = CloseHandle(handle_) != 0;
  handle_ = INVALID_HANDLE_VALUE;
  return closed;
}

Win32AtomicFile::Win32AtomicFile(void* handle, std::wstring temporary, std::wstring target)
    : output_(handle),
      temporary_(std::move(temporary)),
      target_(std::move(target)) {}

Win32AtomicFile::~Win32AtomicFile() {
  if (committed_) return;
  output_.Close();
  DeleteFileW(temporary_.c_str());
}

bool Win32AtomicFile::Write(std::string_view bytes) { return output_.Write(bytes); }
bool Win32AtomicFile::Flush() { return output_.Flush(); }
bool Win32AtomicFile::Close() { return output_.Close(); }

bool Win32AtomicFile::Commit() {
  if (committed_ || !output_.Flush() || !output_.Close()) return false;
  const ::DWORD existing = GetFileAttributesW(target_.c_str());
  if (existing == INVALID_FILE_ATTRIBUTES) {
    committed_ = MoveFileExW(temporary_.c_str(), target_.c_str(), MOVEFILE_WRITE_THROUGH) != 0;
  } else {
    committed_ = MoveOverKeepingAttributes(temporary_, target_);
  }
  return committed_;
}

bool MoveOverKeepingAttributes(const std::wstring& replacement, const std::wstring& replaced) {
  const ::DWORD attributes = GetFileAttributesW(replaced.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if ((attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) return false;
  const ::DWORD kept =
      attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE);
  if (!SetFileAttributesW(replacement.c_str(), kept == 0 ? FILE_ATTRIBUTE_NORMAL : kept))
    return false;
  return MoveFileExW(replacement.c_str(), replaced.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool FlushFile(const std::wstring& path) {
  const HANDLE handle =
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  const bool flushed = FlushFileBuffers(handle) != 0;
  return CloseHandle(handle) != 0 && flushed;
}

}  // namespace tovrin
