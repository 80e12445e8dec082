#include "platform/cp932.hpp"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace tovrin::cp932 {
namespace {

// One conversion descriptor per direction and thread, opened on first use.
class Converter {
 public:
  Converter(const char* to, const char* from) : descriptor_(iconv_open(to, from)) {}
  ~Converter() {
    if (Usable()) iconv_close(descriptor_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  // Strict: an invalid or unmappable sequence gives nullopt.
  std::optional<std::string> Convert(std::string_view input) {
    if (!Usable()) return std::nullopt;
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    std::string output(input.size() * 2 + 8, '\0');
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t written = 0;
    while (inLeft > 0) {
      char* out = output.data() + written;
      std::size_t outLeft = output.size() - written;
      const std::size_t result = iconv(descriptor_, &in, &inLeft, &out, &outLeft);
      written = output.size() - outLeft;
      if (result != static_cast<std::size_t>(-1)) break;
      if (errno != E2BIG) return std::nullopt;
      output.resize(output.size() * 2);
    }
    output.resize(written);
    return output;
  }

 private:
  bool Usable() const { return descriptor_ != reinterpret_cast<iconv_t>(-1); }

  iconv_t descriptor_;
};

}  // namespace

bool IsLeadByte(unsigned char byte) {
  return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

std::optional<std::string> ToUtf8(std::string_view cp932) {
  thread_local Converter converter("UTF-8", "CP932");
  return converter.Convert(cp932);
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
  thread_local Converter converter("CP932", "UTF-8");
  return converter.Convert(utf8);
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
