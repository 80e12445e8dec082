#include "platform/cp932.hpp"

#include <cstdio>
#include <cstdlib>

namespace tovrin::cp932 {

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

void MakeUpper(std::string& text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (IsLeadByte(byte)) {
      ++i;
      continue;
    }
    if (byte >= 'a' && byte <= 'z') text[i] = static_cast<char>(byte - 'a' + 'A');
  }
}

int Find(std::string_view text, std::string_view pattern, int start) {
  if (start < 0) start = 0;
  const auto first = static_cast<std::size_t>(start);
  if (first > text.size()) return -1;
  for (std::size_t i = 0; i + pattern.size() <= text.size();
       i += IsLeadByte(static_cast<unsigned char>(text[i])) ? 2 : 1) {
    if (i >= first && text.compare(i, pattern.size(), pattern) == 0) return static_cast<int>(i);
  }
  return -1;
}

std::size_t CharacterBoundary(std::string_view text, std::size_t limit) {
  const std::size_t end = limit < text.size() ? limit : text.size();
  std::size_t i = 0;
  while (i < end) {
    if (!IsLeadByte(static_cast<unsigned char>(text[i]))) {
      ++i;
      continue;
    }
    if (i + 1 >= end) return i;
    i += 2;
  }
  return end;
}

std::string Text(std::string_view utf8) {
  auto converted = FromUtf8(utf8);
  if (!converted) {
    std::fprintf(stderr, "tovrin: a built-in text has no CP932 form\n");
    std::abort();
  }
  return *std::move(converted);
}

}  // namespace tovrin::cp932
