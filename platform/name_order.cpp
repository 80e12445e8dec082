#include "platform/name_order.hpp"

#include <algorithm>
#include <utility>

#include "platform/cp932.hpp"
#include "platform/unicode_upcase.hpp"

namespace tovrin {
namespace {

// Decodes UTF-8 into UTF-16 code units; the input comes from iconv and is
// well formed.
std::u16string ToUtf16(std::string_view utf8) {
  std::u16string units;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t point = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t k = 1; k < length && i + k < utf8.size(); ++k) {
      point = (point << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    }
    i += length;
    if (point < 0x10000) {
      units.push_back(static_cast<char16_t>(point));
    } else {
      point -= 0x10000;
      units.push_back(static_cast<char16_t>(0xD800 + (point >> 10)));
      units.push_back(static_cast<char16_t>(0xDC00 + (point & 0x3FF)));
    }
  }
  return units;
}

std::u16string NtfsKey(const std::string& name) {
  // A name that is not CP932 keeps its bytes as units, so it still sorts.
  const auto utf8 = cp932::ToUtf8(name);
  std::u16string key;
  if (utf8) {
    key = ToUtf16(*utf8);
  } else {
    for (const unsigned char byte : name) key.push_back(byte);
  }
  std::transform(key.begin(), key.end(), key.begin(), UpcaseUnit);
  return key;
}

}  // namespace

void SortInNtfsOrder(std::vector<std::string>& names) {
  std::vector<std::pair<std::u16string, std::string>> keyed;
  keyed.reserve(names.size());
  for (auto& name : names) keyed.emplace_back(NtfsKey(name), std::move(name));
  std::sort(keyed.begin(), keyed.end());
  for (std::size_t i = 0; i < names.size(); ++i) names[i] = std::move(keyed[i].second);
}

}  // namespace tovrin
