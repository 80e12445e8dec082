#pragma once
// A dry run's shared hold on a product's lock file where one is there
// already: a real run that starts meanwhile finds the product busy until
// the dry run ends. Nothing is made: without a lock file the product is
// held as it is.

#include <filesystem>

#include "platform/file_system.hpp"

namespace tovrin {

ProductLockResult ShareProductLock(const std::filesystem::path& lockFile);

}  // namespace tovrin
