#include "engine/master_conversion.hpp"

#include "engine/master_folder.hpp"
#include "engine/master_line_rules.hpp"
#include "platform/name_order.hpp"

namespace tovrin {

int ListMatchingFiles(const FileSystem& files, std::vector<std::string>& names,
                      const std::string& pattern) {
  names.clear();
  auto entries = files.SearchFiles(pattern);
  if (!entries) return -1;
  for (auto& entry : *entries) {
    if (entry.IsDots() || entry.IsDirectory()) continue;
    names.push_back(std::move(entry.name));
  }
  // Sorted before the cut, so the first 1000 are those an NTFS volume
  // would deliver first.
  SortInNtfsOrder(names);
  if (names.size() > static_cast<std::size_t>(kMaxMasterFiles)) names.resize(kMaxMasterFiles);
  return static_cast<int>(names.size());
}

int ConvertMaterialSize(FileSystem& files, const std::string& settingsPath, RunEvents& events) {
  return ConvertMasterFolders(files, settingsPath, AppendSizeConvertedLine, events);
}

int ConvertMaterialSizeFolder(FileSystem& files, const std::string& folder, RunEvents& events) {
  return ConvertMasterFolder(files, folder, AppendSizeConvertedLine, events);
}

int ConvertMaterialType(FileSystem& files, const std::string& settingsPath, RunEvents& events) {
  return ConvertMasterFolders(files, settingsPath, AppendTypeConvertedLine, events);
}

int ConvertMaterialTypeFolder(FileSystem& files, const std::string& folder, RunEvents& events) {
  return ConvertMasterFolder(files, folder, AppendTypeConvertedLine, events);
}

}  // namespace tovrin
