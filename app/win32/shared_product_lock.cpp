#include "app/shared_product_lock.hpp"

#include "platform/win32/windows_api.hpp"

namespace tovrin {
namespace {

// A real run opens the lock file for nobody else: while this handle shares
// it for reading only, such a run cannot start, and a run that holds it
// already makes this open fail.
class SharedProductLock : public ProductLock {
 public:
  explicit SharedProductLock(HANDLE handle) : handle_(handle) {}
  ~SharedProductLock() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  SharedProductLock(const SharedProductLock&) = delete;
  SharedProductLock& operator=(const SharedProductLock&) = delete;

 private:
  HANDLE handle_;
};

}  // namespace

ProductLockResult ShareProductLock(const std::filesystem::path& lockFile) {
  const HANDLE handle = CreateFileW(lockFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (handle != INVALID_HANDLE_VALUE) {
    return {ProductLockResult::State::Held, std::make_unique<SharedProductLock>(handle)};
  }
  switch (GetLastError()) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      return {ProductLockResult::State::Held,
              std::make_unique<SharedProductLock>(INVALID_HANDLE_VALUE)};
    case ERROR_SHARING_VIOLATION:
      return {ProductLockResult::State::Busy, nullptr};
    default:
      return {};
  }
}

}  // namespace tovrin
