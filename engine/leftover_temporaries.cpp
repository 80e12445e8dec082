#include "engine/leftover_temporaries.hpp"

#include "platform/product_lock.hpp"
#include "platform/temporary_name.hpp"

namespace tovrin {
namespace {

void RemoveBelow(FileSystem& files, const std::string& folder, std::vector<std::string>& kept) {
  for (const FindEntry& entry : files.FindFiles(folder + "*")) {
    if (entry.IsDots() || entry.isLink) continue;
    const std::string path = folder + entry.name;
    if (entry.IsDirectory()) {
      if (!IsBookkeepingFolder(entry.name)) RemoveBelow(files, path + "\\", kept);
    } else if (temporary_name::IsTemporary(entry.name) && !files.Remove(path)) {
      kept.push_back(path);
    }
  }
}

}  // namespace

std::vector<std::string> RemoveLeftoverTemporaries(FileSystem& files, const std::string& folder) {
  std::vector<std::string> kept;
  RemoveBelow(files, folder, kept);
  return kept;
}

}  // namespace tovrin
