#pragma once
// The files an archive on the medium will write, read from its headers alone.

#include <string>
#include <vector>

#include "platform/file_system.hpp"

namespace tovrin {

// The file members' names as a flat extraction writes them; empty when the
// archive cannot be read (its test says why).
std::vector<std::string> ArchiveFileNames(FileSystem& files, const std::string& archive);

}  // namespace tovrin
