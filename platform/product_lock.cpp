#include "platform/product_lock.hpp"

#include "platform/path_text.hpp"

namespace tovrin {

bool IsBookkeepingFolder(std::string_view name) {
  return path_text::EqualsIgnoreCase(name, kBookkeepingFolderName);
}

}  // namespace tovrin
