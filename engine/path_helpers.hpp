#pragma once
// Finding a file under a folder text typed in any of its forms (repairing
// the caller's folder text in place), and creating a target folder.

#include <string>
#include <string_view>

#include "platform/file_system.hpp"

namespace tovrin {

int LocateFileInFolder(const FileSystem& files, std::string& folder, const std::string& name);
int LocateFile(const FileSystem& files, std::string& folder, const std::string& name);
void CreateFolderIfMissing(FileSystem& files, const std::string& path);

}  // namespace tovrin
