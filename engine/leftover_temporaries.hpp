#pragma once
// Temporary files that a killed run left in the product: partial copies and
// members that never took their place. Removed by the next run on the product,
// while it holds the product lock, so no living run loses one.

#include <string>
#include <vector>

#include "platform/file_system.hpp"

namespace tovrin {

// Removes every temporary file of the program's naming below `folder`
// (ending with a backslash), not entering links or the bookkeeping folder.
// Returns the paths of those that could not be removed.
std::vector<std::string> RemoveLeftoverTemporaries(FileSystem& files, const std::string& folder);

}  // namespace tovrin
