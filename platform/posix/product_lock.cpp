#include "platform/product_lock.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <string>
#include <utility>

#include "platform/posix/folder_owner.hpp"
#include "platform/posix/dos_attributes.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {
namespace {

class Descriptor {
 public:
  explicit Descriptor(int descriptor) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;

  int Get() const { return descriptor_; }
  bool IsOpen() const { return descriptor_ >= 0; }
  int Release() { return std::exchange(descriptor_, -1); }

 private:
  int descriptor_;
};

// Held while its descriptor is open; the kernel drops the flock with it.
class FlockProductLock : public ProductLock {
 public:
  explicit FlockProductLock(int descriptor) : descriptor_(descriptor) {}

 private:
  Descriptor descriptor_;
};

// Takes the flock without waiting; Busy while another process holds it.
ProductLockResult Flock(Descriptor& lock, int operation) {
  while (::flock(lock.Get(), operation | LOCK_NB) != 0) {
    if (errno == EINTR) continue;
    if (errno == EWOULDBLOCK) return {ProductLockResult::State::Busy, nullptr};
    return {};
  }
  return {ProductLockResult::State::Held, std::make_unique<FlockProductLock>(lock.Release())};
}

// Opened relative to the product folder and without following a link, so a
// planted link cannot move the bookkeeping elsewhere.
int OpenBookkeepingFolder(const std::filesystem::path& productFolder) {
  const Descriptor product(::open(productFolder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!product.IsOpen()) return -1;
  const std::string name(kBookkeepingFolderName);
  if (::mkdirat(product.Get(), name.c_str(), 0777) != 0 && errno != EEXIST) return -1;
  // Also mends what a root run of an older version left to root.
  folder_owner::TakeFolderOwner(product.Get(), name.c_str());
  const int folder =
      ::openat(product.Get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  // Hidden as Windows hides bookkeeping; a file system without extended
  // attributes simply shows it.
  if (folder >= 0) dos_attributes::WriteStored(productFolder / name, ATTR_HIDDEN);
  return folder;
}

int OpenLockFile(int bookkeeping) {
  const std::string name(kLockFileName);
  const int lock =
      ::openat(bookkeeping, name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (lock >= 0) folder_owner::TakeFolderOwner(bookkeeping, name.c_str());
  return lock;
}

}  // namespace

ProductLockResult LockProductFolder(const std::filesystem::path& productFolder) {
  const Descriptor folder(OpenBookkeepingFolder(productFolder));
  if (!folder.IsOpen()) return {};
  Descriptor lock(OpenLockFile(folder.Get()));
  struct stat status {};
  if (!lock.IsOpen() || ::fstat(lock.Get(), &status) != 0 || !S_ISREG(status.st_mode)) return {};
  return Flock(lock, LOCK_EX);
}

ProductLockResult ShareProductLock(const std::filesystem::path& lockFile) {
  Descriptor lock(::open(lockFile.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!lock.IsOpen()) {
    if (errno != ENOENT) return {};
    return {ProductLockResult::State::Held, std::make_unique<FlockProductLock>(-1)};
  }
  return Flock(lock, LOCK_SH);
}

}  // namespace tovrin
