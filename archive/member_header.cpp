#include "archive/member_header.hpp"

#include "platform/windows_types.hpp"

namespace tovrin {
namespace {

constexpr std::size_t kAttributeOffset = 19;
constexpr std::size_t kLevelOffset = 20;
constexpr std::size_t kBaseNameLengthOffset = 21;
constexpr std::size_t kBaseNameOffset = 22;
constexpr std::size_t kLevel2FirstExtension = 24;
constexpr std::size_t kLevel3FirstExtension = 28;
constexpr unsigned char kExtensionFileName = 0x01;
constexpr unsigned char kExtensionFolderName = 0x02;
constexpr unsigned char kExtensionDosAttribute = 0x40;
constexpr unsigned char kExtensionLargeSize = 0x42;
constexpr std::size_t kLargeSizeOriginalOffset = 8;
constexpr char kStoredFolderSeparator = static_cast<char>(0xFF);
constexpr std::uint8_t kFileBits = ATTR_READONLY | ATTR_HIDDEN | ATTR_SYSTEM | ATTR_ARCHIVE;

std::optional<std::uint64_t> LittleEndian(std::string_view bytes, std::size_t offset, std::size_t width) {
  if (offset + width > bytes.size()) return std::nullopt;
  std::uint64_t value = 0;
  for (std::size_t i = width; i-- > 0;) {
    value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
  }
  return value;
}

// 0xFF separates folders in the folder extension; it is never a CP932 byte.
std::string FolderName(std::string_view stored) {
  std::string folder(stored);
  for (char& c : folder) {
    if (c == kStoredFolderSeparator) c = '\\';
  }
  if (!folder.empty() && folder.back() != '\\') folder.push_back('\\');
  return folder;
}

struct Fields {
  std::string folder;
  std::string file;
  std::uint8_t attribute;
  std::optional<std::uint64_t> largeSize;
};

void TakeExtension(unsigned char type, std::string_view data, Fields& fields) {
  switch (type) {
    case kExtensionFileName: fields.file = std::string(data); break;
    case kExtensionFolderName: fields.folder = FolderName(data); break;
    case kExtensionDosAttribute:
      if (!data.empty()) fields.attribute = static_cast<std::uint8_t>(data[0]);
      break;
    case kExtensionLargeSize:
      fields.largeSize = LittleEndian(data, kLargeSizeOriginalOffset, 8);
      break;
    default: break;
  }
}

// Extensions: a size (counting itself), a type byte, the data; a size of 0
// ends the chain. Level 3 sizes are 32-bit, the others 16-bit.
bool WalkExtensions(std::string_view header, std::size_t offset, std::size_t sizeWidth, Fields& fields) {
  for (;;) {
    const auto size = LittleEndian(header, offset, sizeWidth);
    if (!size) return false;
    if (*size == 0) return true;
    if (*size < sizeWidth + 1 || *size > header.size() - offset) return false;
    const std::string_view extension = header.substr(offset + sizeWidth, *size - sizeWidth);
    TakeExtension(static_cast<unsigned char>(extension[0]), extension.substr(1), fields);
    offset += *size;
  }
}

std::string BaseName(std::string_view header) {
  if (header.size() <= kBaseNameLengthOffset) return {};
  const std::size_t length = static_cast<unsigned char>(header[kBaseNameLengthOffset]);
  return std::string(header.substr(kBaseNameOffset, length));
}

}  // namespace

std::optional<StoredHeader> ReadStoredHeader(std::string_view header) {
  if (header.size() <= kLevelOffset) return std::nullopt;
  Fields fields{{}, {}, static_cast<std::uint8_t>(header[kAttributeOffset]), std::nullopt};
  bool walked = true;
  switch (header[kLevelOffset]) {
    case 0: fields.file = BaseName(header); break;
    case 1:
      fields.file = BaseName(header);
      walked = WalkExtensions(header, static_cast<unsigned char>(header[0]), 2, fields);
      break;
    case 2: walked = WalkExtensions(header, kLevel2FirstExtension, 2, fields); break;
    case 3: walked = WalkExtensions(header, kLevel3FirstExtension, 4, fields); break;
    default: return std::nullopt;
  }
  if (!walked) return std::nullopt;
  return StoredHeader{fields.folder + fields.file, static_cast<std::uint8_t>(fields.attribute & kFileBits),
                      fields.largeSize};
}

}  // namespace tovrin
