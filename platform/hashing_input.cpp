#include "platform/hashing_input.hpp"

#include <vector>

namespace tovrin {

std::optional<std::size_t> HashingInput::Read(char* buffer, std::size_t size) {
  const auto count = inner_.Read(buffer, size);
  if (!count) failed_ = true;
  if (count && *count > 0) digest_.Update(buffer, *count);
  return count;
}

std::optional<Sha256::Hash> HashingInput::Finish() {
  std::vector<char> rest(64 * 1024);
  while (!failed_) {
    const auto count = Read(rest.data(), rest.size());
    if (count && *count == 0) return digest_.Finish();
  }
  return std::nullopt;
}

std::optional<Sha256::Hash> HashFile(FileSystem& files, const std::string& path) {
  const auto input = files.OpenRead(path);
  if (!input) return std::nullopt;
  return HashingInput(*input).Finish();
}

}  // namespace tovrin
