#pragma once
// The product lock on a POSIX host: flock on ".tovrin/lock" in the product
// folder, which the kernel releases when the process ends however it ends.

#include <filesystem>

#include "platform/product_lock.hpp"

namespace tovrin {

// Makes the hidden bookkeeping folder and its lock file where missing; a
// bookkeeping folder or lock file that is a link is refused (Failed).
ProductLockResult LockProductFolder(const std::filesystem::path& productFolder);

}  // namespace tovrin
