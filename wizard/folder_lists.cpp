#include "wizard/folder_lists.hpp"

#include <cctype>

#include "platform/product_lock.hpp"

namespace tovrin {

void ListDrives(Dialog& dialog, int listId, const FileSystem& files) {
  dialog.ListResetContent(listId);
  for (const char letter : files.DriveLetters()) {
    const char lower = static_cast<char>(std::tolower(static_cast<unsigned char>(letter)));
    dialog.ListAddString(listId, std::string("[-") + lower + "-]");
  }
}

std::string DriveOfEntry(const std::string& driveEntry) {
  if (driveEntry.size() < 3) return {};
  return driveEntry.substr(2, 1);
}

std::vector<std::string> FindSubfolders(const FileSystem& files, const std::string& pattern) {
  // No cap on the count: a folder with very many subfolders still lists them all.
  std::vector<std::string> names{".."};
  for (const FindEntry& entry : files.FindFiles(pattern)) {
    // The update's own bookkeeping is no folder a user would choose.
    if (entry.IsDots() || !entry.IsDirectory() || IsBookkeepingFolder(entry.name)) continue;
    names.push_back(entry.name);
  }
  return names;
}

}  // namespace tovrin
