#include "app/file_digest.hpp"

#include <nettle/sha2.h>

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

std::optional<FileDigest> DigestOf(FileSystem& files, const std::string& path) {
  const auto input = files.OpenRead(path);
  if (!input) return std::nullopt;
  sha256_ctx context;
  sha256_init(&context);
  FileDigest digest;
  std::array<char, 64 * 1024> chunk;
  while (true) {
    const auto count = input->Read(chunk.data(), chunk.size());
    if (!count) return std::nullopt;
    if (*count == 0) break;
    sha256_update(&context, *count, reinterpret_cast<const std::uint8_t*>(chunk.data()));
    digest.size += *count;
  }
  std::array<std::uint8_t, SHA256_DIGEST_SIZE> hash;
  sha256_digest(&context, hash.size(), hash.data());
  digest.sha256 = Hex(hash.data(), hash.size());
  return digest;
}

}  // namespace tovrin
