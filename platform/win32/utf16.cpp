// UTF-16 to UTF-8 through the Win32 API, whose wide text is UTF-16 LE.
#include "platform/utf16.hpp"
#include "platform/win32/wide_text.hpp"

namespace tovrin::utf16 {
namespace {

std::optional<std::string> FromBytes(std::string_view bytes, bool bigEndian) {
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::wstring wide(bytes.size() / 2, L'\0');
  for (std::size_t i = 0; i < wide.size(); ++i) {
    const auto first = static_cast<unsigned char>(bytes[2 * i]);
    const auto second = static_cast<unsigned char>(bytes[2 * i + 1]);
    wide[i] = static_cast<wchar_t>(bigEndian ? (first << 8) | second : (second << 8) | first);
  }
  return win32::Utf8FromWide(wide);
}

}  // namespace

std::optional<std::string> LittleEndianToUtf8(std::string_view bytes) {
  return FromBytes(bytes, false);
}
std::optional<std::string> BigEndianToUtf8(std::string_view bytes) {
  return FromBytes(bytes, true);
}

std::optional<std::string> UnitsToUtf8(std::u16string_view units) {
  return win32::Utf8FromWide(std::wstring(units.begin(), units.end()));
}

}  // namespace tovrin::utf16
