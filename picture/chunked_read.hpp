#pragma once
// Reading a file's bytes in full pieces; the picture loader's only way in.

#include <cstddef>
#include <cstdint>

#include "platform/file_system.hpp"

namespace tovrin {

// Reads until `size` bytes are in or the file ends; the number read (a read
// error counts as the end).
std::size_t ReadFully(InputFile& file, void* buffer, std::size_t size);

// Reads and drops `count` bytes; true when all were there.
bool SkipBytes(InputFile& file, std::uint64_t count);

}  // namespace tovrin
