#include "platform/program_directory.hpp"

namespace tovrin {

// "C:\UPD" becomes "C:\UPD\"; a drive root "A:\" becomes "A:", so that a
// name appended to it is taken relative to that drive's current folder.
std::optional<std::string> ProgramDirectory(const FileSystem& files,
                                            const std::filesystem::path& mediumFolder) {
  auto folder = files.ToWindowsPath(mediumFolder);
  if (!folder) return std::nullopt;
  if (folder->size() == 3) return folder->substr(0, 2);
  return *folder + "\\";
}

}  // namespace tovrin
