#pragma once
// What an archive on the medium will write, read from its headers alone.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.hpp"

namespace tovrin {

struct ArchiveContents {
  std::uint64_t extractedSize = 0;  // of every file member
  std::vector<std::string> names;   // the file members' names as extracted without folders
};

// Empty contents when the archive cannot be read; its test says why.
ArchiveContents ReadArchiveContents(const FileSystem& files, const std::string& archive);

}  // namespace tovrin
