#include "picture/chunked_read.hpp"

#include <algorithm>
#include <array>

#include "picture/bitmap_file.hpp"

namespace tovrin {

std::size_t ReadFully(InputFile& file, void* buffer, std::size_t size) {
  auto* bytes = static_cast<char*>(buffer);
  std::size_t done = 0;
  while (done < size) {
    const auto got = file.Read(bytes + done, size - done);
    if (!got || *got == 0) break;
    done += *got;
  }
  return done;
}

bool SkipBytes(InputFile& file, std::uint64_t count) {
  std::array<char, kReadChunkSize> scratch;
  while (count > 0) {
    const auto piece = static_cast<std::size_t>(std::min<std::uint64_t>(count, scratch.size()));
    if (ReadFully(file, scratch.data(), piece) != piece) return false;
    count -= piece;
  }
  return true;
}

DWORD ReadFileChunked(InputFile& file, void* buffer, DWORD length) {
  auto* bytes = static_cast<char*>(buffer);
  DWORD remaining = length;
  while (remaining > kReadChunkSize) {
    if (ReadFully(file, bytes, kReadChunkSize) != kReadChunkSize) return 0;
    bytes += kReadChunkSize;
    remaining -= kReadChunkSize;
  }
  return ReadFully(file, bytes, remaining) == remaining ? length : 0;
}

}  // namespace tovrin
