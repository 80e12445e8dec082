#include "engine/path_helpers.hpp"

#include "platform/path_text.hpp"

namespace tovrin {
namespace {

bool Exists(const FileSystem& files, const std::string& path) {
  return files.Exists(path) == Presence::Present;
}

}  // namespace

// Paths are built by plain concatenation: the separator that made the name
// reachable is appended to the caller's folder text and stays there, also
// when the lookup fails, because the caller builds its later paths from it.
int LocateFileInFolder(const FileSystem& files, std::string& folder, const std::string& name) {
  if (!Exists(files, folder)) return 0;
  if (Exists(files, folder + name)) return 1;
  folder += '\\';
  return Exists(files, folder + name) ? 1 : 0;
}

int LocateFile(const FileSystem& files, std::string& folder, const std::string& name) {
  if (LocateFileInFolder(files, folder, name) != 0) return 1;
  // A bare drive letter ("C") names the drive's root only once ":\" is added.
  folder += ":\\";
  return LocateFileInFolder(files, folder, name) == 1 ? 1 : 0;
}

void CreateFolderIfMissing(FileSystem& files, const std::string& path) {
  if (Exists(files, path)) return;
  files.Mkdir(path);
}

bool IsBelowHostFolder(const std::filesystem::path& path, const std::filesystem::path& folder) {
  const auto relative = path.lexically_normal().lexically_relative(folder.lexically_normal());
  return !relative.empty() && *relative.begin() != "..";
}

}  // namespace tovrin
