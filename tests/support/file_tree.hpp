#pragma once
// A folder's files and folders as a map to compare before and after a run.

#include <filesystem>
#include <map>
#include <string>

namespace tovrin::testing {

// Every file and folder below `root` but the program's bookkeeping: content,
// mode and (unless left out) modification time.
std::map<std::string, std::string> FileTree(const std::filesystem::path& root,
                                            bool withTimes = true);

}  // namespace tovrin::testing
