#pragma once
// Finding a file under a folder text typed in any of its forms (repairing
// the caller's folder text in place), creating a target folder, and whether
// a host path lies below a folder.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/file_system.hpp"

namespace tovrin {

int LocateFileInFolder(const FileSystem& files, std::string& folder, const std::string& name);
int LocateFile(const FileSystem& files, std::string& folder, const std::string& name);
// Whether the host path `path` lies in `folder` or below it, by their text.
bool IsBelowHostFolder(const std::filesystem::path& path, const std::filesystem::path& folder);
void CreateFolderIfMissing(FileSystem& files, const std::string& path);

}  // namespace tovrin
