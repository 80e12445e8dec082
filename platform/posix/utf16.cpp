#include "platform/utf16.hpp"

#include <iconv.h>

#include <cerrno>

namespace tovrin::utf16 {

namespace {

class Converter {
 public:
  explicit Converter(const char* from) : handle_(iconv_open("UTF-8", from)) {}
  ~Converter() {
    if (valid()) iconv_close(handle_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

  std::optional<std::string> Convert(std::string_view bytes) {
    std::string out;
    char* in = const_cast<char*>(bytes.data());
    std::size_t inLeft = bytes.size();
    char chunk[4096];
    while (inLeft > 0) {
      char* next = chunk;
      std::size_t outLeft = sizeof chunk;
      const std::size_t result = iconv(handle_, &in, &inLeft, &next, &outLeft);
      out.append(chunk, static_cast<std::size_t>(next - chunk));
      if (result == static_cast<std::size_t>(-1) && errno != E2BIG) return std::nullopt;
    }
    return out;
  }

 private:
  iconv_t handle_;
};

std::optional<std::string> Convert(std::string_view bytes, const char* from) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  Converter converter(from);
  if (!converter.valid()) return std::nullopt;
  return converter.Convert(bytes);
}

}  // namespace

std::optional<std::string> LittleEndianToUtf8(std::string_view bytes) {
  return Convert(bytes, "UTF-16LE");
}

std::optional<std::string> BigEndianToUtf8(std::string_view bytes) {
  return Convert(bytes, "UTF-16BE");
}

std::optional<std::string> UnitsToUtf8(std::u16string_view units) {
  std::string bytes;
  bytes.reserve(units.size() * 2);
  for (const char16_t unit : units) {
    bytes.push_back(static_cast<char>(unit & 0xFF));
    bytes.push_back(static_cast<char>(unit >> 8));
  }
  return LittleEndianToUtf8(bytes);
}

}  // namespace tovrin::utf16
