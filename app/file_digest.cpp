#include "app/file_digest.hpp"

#include <array>

#include "app/sha256.hpp"

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

std::optional<FileDigest> DigestOf(FileSystem& files, const std::string& path) {
  const auto input = files.OpenRead(path);
  if (!input) return std::nullopt;
  Sha256 hash;
  FileDigest digest;
  std::array<char, 64 * 1024> chunk;
  while (true) {
    const auto count = input->Read(chunk.data(), chunk.size());
    if (!count) return std::nullopt;
    if (*count == 0) break;
    hash.Update(chunk.data(), *count);
    digest.size += *count;
  }
  const auto sum = hash.Finish();
  digest.sha256 = Hex(sum.data(), sum.size());
  return digest;
}

}  // namespace tovrin
