#include "archive/member_header.hpp"

#include <algorithm>

#include "archive/lzh_crc.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {
namespace {

constexpr std::size_t kAttributeOffset = 19;
constexpr std::size_t kLevelOffset = 20;
constexpr std::size_t kBaseNameLengthOffset = 21;
constexpr std::size_t kBaseNameOffset = 22;
constexpr std::size_t kLevel2FirstExtension = 24;
constexpr std::size_t kLevel3FirstExtension = 28;
constexpr std::size_t kPackedSizeOffset = 7;
constexpr std::size_t kOriginalSizeOffset = 11;
// A level 0 or 1 base header with an empty name, after its first two bytes.
constexpr std::size_t kLevel0ShortestCounted = 22;
constexpr std::size_t kLevel1ShortestCounted = 25;
constexpr std::size_t kLevel2ShortestHeader = 26;
// Unix LHa's level 0 extended area after the CRC: 'U', a time, the mode.
constexpr char kLevel0UnixArea = 'U';
constexpr std::size_t kLevel0UnixAreaLength = 12;
constexpr std::size_t kLevel0UnixModeFromEnd = 6;
constexpr unsigned kUnixTypeBits = 0170000;
constexpr unsigned kUnixLink = 0120000;
constexpr unsigned char kExtensionHeaderCrc = 0x00;
constexpr unsigned char kExtensionUnixMode = 0x50;
constexpr unsigned char kExtensionFileName = 0x01;
constexpr unsigned char kExtensionFolderName = 0x02;
constexpr unsigned char kExtensionDosAttribute = 0x40;
constexpr unsigned char kExtensionLargeSize = 0x42;
constexpr std::size_t kLargeSizeOriginalOffset = 8;
constexpr char kStoredFolderSeparator = static_cast<char>(0xFF);
constexpr std::uint8_t kFileBits = ATTR_READONLY | ATTR_HIDDEN | ATTR_SYSTEM | ATTR_ARCHIVE;

std::optional<std::uint64_t> LittleEndian(std::string_view bytes, std::size_t offset,
                                          std::size_t width) {
  if (offset + width > bytes.size()) return std::nullopt;
  std::uint64_t value = 0;
  for (std::size_t i = width; i-- > 0;) {
    value = value << 8 | static_cast<unsigned char>(bytes[offset + i]);
  }
  return value;
}

// Amiga and MorphOS archivers keep a file's comment after a NUL in its name
// field; the name ends there, as it does for liblhasa.
std::string_view UpToNul(std::string_view field) { return field.substr(0, field.find('\0')); }

// 0xFF separates folders in the folder extension; it is never a CP932 byte.
std::string FolderName(std::string_view stored) {
  std::string folder(UpToNul(stored));
  for (char& c : folder) {
    if (c == kStoredFolderSeparator) c = '\\';
  }
  if (!folder.empty() && folder.back() != '\\') folder.push_back('\\');
  return folder;
}

struct Fields {
  std::string folder;
  std::string file;
  std::uint8_t attribute = 0;
  std::optional<std::uint64_t> largeSize;
  std::optional<std::uint64_t> unixMode;
  std::optional<std::size_t> headerCrcOffset;
};

void TakeExtension(unsigned char type, std::string_view data, Fields& fields) {
  switch (type) {
    case kExtensionFileName:
      fields.file = std::string(UpToNul(data));
      break;
    case kExtensionFolderName:
      fields.folder = FolderName(data);
      break;
    case kExtensionDosAttribute:
      if (!data.empty()) fields.attribute = static_cast<std::uint8_t>(data[0]);
      break;
    case kExtensionLargeSize:
      fields.largeSize = LittleEndian(data, kLargeSizeOriginalOffset, 8);
      break;
    case kExtensionUnixMode:
      fields.unixMode = LittleEndian(data, 0, 2);
      break;
    default:
      break;
  }
}

// Extensions: a size (counting itself), a type byte, the data; a size of 0
// ends the chain. Level 3 sizes are 32-bit, the others 16-bit.
bool WalkExtensions(std::string_view header, std::size_t offset, std::size_t sizeWidth,
                    Fields& fields) {
  for (;;) {
    const auto size = LittleEndian(header, offset, sizeWidth);
    if (!size) return false;
    if (*size == 0) return true;
    if (*size < sizeWidth + 1 || *size > header.size() - offset) return false;
    const std::string_view extension = header.substr(offset + sizeWidth, *size - sizeWidth);
    TakeExtension(static_cast<unsigned char>(extension[0]), extension.substr(1), fields);
    if (extension[0] == kExtensionHeaderCrc) fields.headerCrcOffset = offset + sizeWidth + 1;
    offset += *size;
  }
}

// Unix LHa keeps the mode in an area after the level 0 name and CRC: 'U',
// 0, the time, then the mode, the user and the group, which end the area.
std::optional<std::uint64_t> Level0UnixMode(std::string_view header) {
  const std::size_t area =
      kBaseNameOffset + static_cast<unsigned char>(header[kBaseNameLengthOffset]) + 2;
  const std::size_t end =
      std::min<std::size_t>(header.size(), static_cast<unsigned char>(header[0]) + 2);
  if (area >= end || end - area < kLevel0UnixAreaLength) return std::nullopt;
  if (header[area] != kLevel0UnixArea || header[area + 1] != 0) return std::nullopt;
  return LittleEndian(header, end - kLevel0UnixModeFromEnd, 2);
}

std::string BaseName(std::string_view header) {
  if (header.size() <= kBaseNameLengthOffset) return {};
  const std::size_t length = static_cast<unsigned char>(header[kBaseNameLengthOffset]);
  return std::string(UpToNul(header.substr(kBaseNameOffset, length)));
}

// The fields of a whole header; nullopt when its extension chain cannot be walked.
std::optional<Fields> ReadFields(std::string_view header) {
  if (header.size() <= kLevelOffset) return std::nullopt;
  Fields fields;
  fields.attribute = static_cast<std::uint8_t>(header[kAttributeOffset]);
  bool walked = true;
  switch (header[kLevelOffset]) {
    case 0:
      fields.file = BaseName(header);
      fields.unixMode = Level0UnixMode(header);
      break;
    case 1:
      fields.file = BaseName(header);
      walked = WalkExtensions(header, static_cast<unsigned char>(header[0]), 2, fields);
      break;
    case 2:
      walked = WalkExtensions(header, kLevel2FirstExtension, 2, fields);
      break;
    case 3:
      walked = WalkExtensions(header, kLevel3FirstExtension, 4, fields);
      break;
    default:
      return std::nullopt;
  }
  if (!walked) return std::nullopt;
  return fields;
}

std::uint8_t Checksum(std::string_view bytes) {
  unsigned sum = 0;
  for (const char c : bytes) sum += static_cast<unsigned char>(c);
  return static_cast<std::uint8_t>(sum);
}

// The length of a level 0 to 2 header held whole in `bytes` with its
// checksum or CRC right, extensions included; nullopt otherwise.
std::optional<std::size_t> WholeHeaderLength(std::string_view bytes) {
  if (bytes.size() <= kBaseNameLengthOffset) return std::nullopt;
  const int level = bytes[kLevelOffset];
  if (level == 2) {
    const std::size_t length = *LittleEndian(bytes, 0, 2);
    if (length < kLevel2ShortestHeader || length > bytes.size()) return std::nullopt;
    const auto fields = ReadFields(bytes.substr(0, length));
    if (!fields || !fields->headerCrcOffset || *fields->headerCrcOffset + 2 > length)
      return std::nullopt;
    // The CRC covers the header with its own field counted as zero.
    std::string header(bytes.substr(0, length));
    const std::size_t at = *fields->headerCrcOffset;
    const std::uint64_t stored = *LittleEndian(header, at, 2);
    header[at] = header[at + 1] = '\0';
    if (UpdateLzhCrc(0, header) != stored) return std::nullopt;
    return length;
  }
  if (level != 0 && level != 1) return std::nullopt;
  // The first byte counts the base header after the first two.
  const std::size_t counted = static_cast<unsigned char>(bytes[0]);
  const std::size_t nameLength = static_cast<unsigned char>(bytes[kBaseNameLengthOffset]);
  const std::size_t shortest = level == 0 ? kLevel0ShortestCounted : kLevel1ShortestCounted;
  if (counted < shortest + nameLength || counted + 2 > bytes.size()) return std::nullopt;
  if (Checksum(bytes.substr(2, counted)) != static_cast<unsigned char>(bytes[1]))
    return std::nullopt;
  std::size_t length = counted + 2;
  // Level 1: each extension ends with the size of the next; 0 ends the chain.
  while (level == 1) {
    const std::uint64_t next = *LittleEndian(bytes, length - 2, 2);
    if (next == 0) break;
    if (next < 3 || next > bytes.size() - length) return std::nullopt;
    length += next;
  }
  return length;
}

}  // namespace

std::optional<StoredHeader> ReadStoredHeader(std::string_view header) {
  const auto fields = ReadFields(header);
  if (!fields) return std::nullopt;
  return StoredHeader{fields->folder + fields->file,
                      static_cast<std::uint8_t>(fields->attribute & kFileBits), fields->largeSize};
}

std::optional<DatalessEntry> ReadDatalessEntry(std::string_view bytes) {
  const auto length = WholeHeaderLength(bytes);
  if (!length) return std::nullopt;
  const std::string_view header = bytes.substr(0, *length);
  const auto fields = ReadFields(header);
  if (!fields) return std::nullopt;
  // Level 1 counts its extensions as packed data.
  const bool level1 = header[kLevelOffset] == 1;
  const std::uint64_t extensions =
      level1 ? *length - (static_cast<unsigned char>(header[0]) + 2) : 0;
  if (*LittleEndian(header, kPackedSizeOffset, 4) != extensions) return std::nullopt;
  if (*LittleEndian(header, kOriginalSizeOffset, 4) != 0 || fields->largeSize.value_or(0) != 0)
    return std::nullopt;
  const bool link = fields->unixMode && (*fields->unixMode & kUnixTypeBits) == kUnixLink;
  if (link) return DatalessEntry{{}, *length};
  if (!fields->file.empty()) return std::nullopt;
  return DatalessEntry{fields->folder, *length};
}

}  // namespace tovrin
