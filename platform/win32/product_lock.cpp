#include "platform/product_lock.hpp"

#include <memory>
#include <string>

#include "platform/win32/windows_api.hpp"

namespace tovrin {
namespace {

// Held while its handle is open: a real run opens the lock file for nobody
// else, a dry run shares it for reading only, and Windows closes it with the
// process.
class HandleLock : public ProductLock {
 public:
  explicit HandleLock(HANDLE handle) : handle_(handle) {}
  ~HandleLock() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  HandleLock(const HandleLock&) = delete;
  HandleLock& operator=(const HandleLock&) = delete;

 private:
  HANDLE handle_;
};

bool IsFolder(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

ProductLockResult LockProductFolder(const std::filesystem::path& productFolder) {
  if (productFolder.empty() || !IsFolder(GetFileAttributesW(productFolder.c_str()))) return {};
  const std::filesystem::path bookkeeping =
      productFolder / std::wstring(kBookkeepingFolderName.begin(), kBookkeepingFolderName.end());
  if (!CreateDirectoryW(bookkeeping.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
    return {};
  }
  // A link planted in its place would move the bookkeeping elsewhere.
  const DWORD attributes = GetFileAttributesW(bookkeeping.c_str());
  if (!IsFolder(attributes) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) return {};
  SetFileAttributesW(bookkeeping.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
  const std::filesystem::path lock =
      bookkeeping / std::wstring(kLockFileName.begin(), kLockFileName.end());
  const HANDLE handle =
      CreateFileW(lock.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_SHARING_VIOLATION) return {ProductLockResult::State::Busy, nullptr};
    return {};
  }
  return {ProductLockResult::State::Held, std::make_unique<HandleLock>(handle)};
}

// While this handle shares the lock file for reading only, a real run
// cannot start, and a run that holds it already makes this open fail.
ProductLockResult ShareProductLock(const std::filesystem::path& lockFile) {
  const HANDLE handle = CreateFileW(lockFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    return {ProductLockResult::State::Held, std::make_unique<HandleLock>(handle)};
  }
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return {ProductLockResult::State::Held, std::make_unique<HandleLock>(INVALID_HANDLE_VALUE)};
    case ERROR_SHARING_VIOLATION:
      return {ProductLockResult::State::Busy, nullptr};
    default:
      return {};
  }
}

}  // namespace tovrin
