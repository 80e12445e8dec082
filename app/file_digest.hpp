#pragma once
// The size and SHA-256 of a file, as the log records each file it names.

#include <cstdint>
#include <optional>
#include <string>

#include "platform/sha256.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

struct FileDigest {
  std::uint64_t size = 0;
  std::string sha256;  // lower-case hex
};

// The digest of `size` bytes given to `hash`, which is spent.
FileDigest FinishDigest(Sha256& hash, std::uint64_t size);

// Nullopt when the file cannot be read.
std::optional<FileDigest> DigestOf(FileSystem& files, const std::string& path);

}  // namespace tovrin
