#pragma once
// A run's hold on the product folder it updates: advisory, so a crashed run
// releases it with its process. It lives in the run's hidden bookkeeping
// folder inside the product, which never counts as a product file.

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

// Whether a folder name (CP932, without its parent) is the bookkeeping
// folder, spelled in any letter case.
bool IsBookkeepingFolder(std::string_view name);

}  // namespace tovrin
