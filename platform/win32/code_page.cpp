// CP932 conversions through Windows' own code page 932.
#include "platform/cp932.hpp"
#include "platform/win32/wide_text.hpp"

namespace tovrin::cp932 {

std::optional<std::string> ToUtf8(std::string_view cp932) {
  const auto wide = win32::WideFromCp932(cp932);
  if (!wide) return std::nullopt;
  return win32::Utf8FromWide(*wide);
}

std::optional<std::string> FromUtf8(std::string_view utf8) {
  const auto wide = win32::WideFromUtf8(utf8);
  if (!wide) return std::nullopt;
  return win32::Cp932FromWide(*wide);
}

}  // namespace tovrin::cp932
