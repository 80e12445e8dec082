#include "archive/member_attribute.hpp"

#include "platform/windows_types.hpp"

namespace tovrin {
namespace {

constexpr std::size_t kAttributeOffset = 19;
constexpr std::size_t kLevelOffset = 20;
constexpr std::size_t kLevel2FirstExtension = 24;
constexpr unsigned char kExtensionDosAttribute = 0x40;
constexpr std::uint8_t kFileBits = ATTR_READONLY | ATTR_HIDDEN | ATTR_SYSTEM | ATTR_ARCHIVE;

std::optional<std::size_t> Le16(std::string_view bytes, std::size_t offset) {
  if (offset + 2 > bytes.size()) return std::nullopt;
  return static_cast<std::size_t>(static_cast<unsigned char>(bytes[offset])) |
         static_cast<std::size_t>(static_cast<unsigned char>(bytes[offset + 1])) << 8;
}

// Extended headers: a 16-bit size (counting itself), a type byte, the data;
// a size of 0 ends the chain.
std::optional<std::uint8_t> FromExtensions(std::string_view header, std::size_t offset,
                                           std::uint8_t attribute) {
  for (;;) {
    const auto size = Le16(header, offset);
    if (!size) return std::nullopt;
    if (*size == 0) return attribute;
    if (*size < 3 || offset + *size > header.size()) return std::nullopt;
    if (static_cast<unsigned char>(header[offset + 2]) == kExtensionDosAttribute && *size >= 5) {
      attribute = static_cast<std::uint8_t>(header[offset + 3]);
    }
    offset += *size;
  }
}

}  // namespace

std::optional<std::uint8_t> DosAttributeOfHeader(std::string_view header) {
  if (header.size() <= kLevelOffset) return std::nullopt;
  const auto base = static_cast<std::uint8_t>(header[kAttributeOffset]);
  std::optional<std::uint8_t> attribute;
  switch (header[kLevelOffset]) {
    case 0: attribute = base; break;
    case 1: attribute = FromExtensions(header, static_cast<unsigned char>(header[0]), base); break;
    case 2: attribute = FromExtensions(header, kLevel2FirstExtension, base); break;
    default: return std::nullopt;
  }
  if (!attribute) return std::nullopt;
  return static_cast<std::uint8_t>(*attribute & kFileBits);
}

}  // namespace tovrin
