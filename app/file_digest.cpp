#include "app/file_digest.hpp"

#include <array>

namespace tovrin {
namespace {

std::string Hex(const std::uint8_t* bytes, std::size_t count) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (std::size_t i = 0; i < count; ++i) {
    hex += kDigits[bytes[i] >> 4];
    hex += kDigits[bytes[i] & 0x0F];
  }
  return hex;
}

}  // namespace

FileDigest FinishDigest(Sha256& hash, std::uint64_t size) {
  const auto sum = hash.Finish();
  return {size, Hex(sum.data(), sum.size())};
}

std::optional<FileDigest> DigestOf(FileSystem& files, const std::string& path) {
  const auto input = files.OpenRead(path);
  if (!input) return std::nullopt;
  Sha256 hash;
  std::uint64_t size = 0;
  std::array<char, 64 * 1024> chunk;
  while (true) {
    const auto count = input->Read(chunk.data(), chunk.size());
    if (!count) return std::nullopt;
    if (*count == 0) break;
    hash.Update(chunk.data(), *count);
    size += *count;
  }
  return FinishDigest(hash, size);
}

}  // namespace tovrin
