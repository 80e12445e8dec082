#pragma once
// A run's hold on the product folder it updates: advisory, so a crashed run
// releases it with its process. It lives in the run's hidden bookkeeping
// folder inside the product, which never counts as a product file.

#include <filesystem>
#include <memory>
#include <string_view>

namespace tovrin {

inline constexpr std::string_view kBookkeepingFolderName = ".tovrin";
inline constexpr std::string_view kLockFileName = "lock";

// Released when destroyed.
class ProductLock {
 public:
  virtual ~ProductLock() = default;
};

struct ProductLockResult {
  enum class State {
    Held,    // `lock` holds the folder
    Busy,    // another run holds it
    Failed,  // the bookkeeping folder or the lock file could not be made
  };
  State state = State::Failed;
  std::unique_ptr<ProductLock> lock;
};

// Each system's side (posix/product_lock.cpp, win32/product_lock.cpp):
// the run's own hold on the product folder (a host path), exclusive. Makes
// the hidden bookkeeping folder and its lock file where missing; a
// bookkeeping folder or lock file that is a link is refused (Failed).
ProductLockResult LockProductFolder(const std::filesystem::path& productFolder);
// A dry run's hold on a product's lock file (a host path) where one is
// there already, shared: a real run that starts meanwhile finds the product
// busy until the dry run ends. Nothing is made: without a lock file the
// product is held as it is.
ProductLockResult ShareProductLock(const std::filesystem::path& lockFile);

// Whether a folder name (CP932, without its parent) is the bookkeeping
// folder, spelled in any letter case.
bool IsBookkeepingFolder(std::string_view name);

}  // namespace tovrin
