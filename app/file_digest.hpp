#pragma once
// The size and SHA-256 of a file, as the log records each file it names.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/file_system.hpp"

namespace tovrin {

struct FileDigest {
  std::uint64_t size = 0;
  std::string sha256;  // lower-case hex
};

// Nullopt when the file cannot be read.
std::optional<FileDigest> DigestOf(FileSystem& files, const std::string& path);

}  // namespace tovrin
