#include "tests/support/file_tree.hpp"

#include <sys/stat.h>

#include "platform/product_lock.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {

namespace fs = std::filesystem;

std::map<std::string, std::string> FileTree(const fs::path& root, bool withTimes) {
  std::map<std::string, std::string> tree;
  const fs::recursive_directory_iterator end;
  for (auto entry = fs::recursive_directory_iterator(root); entry != end; ++entry) {
    if (entry->path().filename() == kBookkeepingFolderName) {
      entry.disable_recursion_pending();
      continue;
    }
    struct stat status {};
    ::lstat(entry->path().c_str(), &status);
    const bool file = S_ISREG(status.st_mode);
    tree[entry->path().lexically_relative(root).string()] =
        std::to_string(status.st_mode) + " " +
        (file && withTimes ? std::to_string(status.st_mtime) : "") + " " +
        (file ? ReadFile(entry->path()) : "<dir>");
  }
  return tree;
}

}  // namespace tovrin::testing
