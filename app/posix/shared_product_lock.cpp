#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>

#include "app/shared_product_lock.hpp"

namespace tovrin {
namespace {

class SharedProductLock : public ProductLock {
 public:
  explicit SharedProductLock(int descriptor) : descriptor_(descriptor) {}
  ~SharedProductLock() override {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  SharedProductLock(const SharedProductLock&) = delete;
  SharedProductLock& operator=(const SharedProductLock&) = delete;

 private:
  int descriptor_;
};

}  // namespace

ProductLockResult ShareProductLock(const std::filesystem::path& lockFile) {
  const int descriptor = ::open(lockFile.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) {
    if (errno != ENOENT) return {};
    return {ProductLockResult::State::Held, std::make_unique<SharedProductLock>(-1)};
  }
  auto lock = std::make_unique<SharedProductLock>(descriptor);
  while (::flock(descriptor, LOCK_SH | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return {ProductLockResult::State::Busy, nullptr};
    return {};
  }
  return {ProductLockResult::State::Held, std::move(lock)};
}

}  // namespace tovrin
