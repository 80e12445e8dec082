#include "tests/support/lzh_writer.hpp"

#include <fstream>
#include <stdexcept>

#include "platform/cp932.hpp"

namespace tovrin::testing {
namespace {

constexpr unsigned char kExtensionHeaderCrc = 0x00;
constexpr unsigned char kExtensionFileName = 0x01;
constexpr unsigned char kExtensionFolderName = 0x02;
constexpr unsigned char kExtensionDosAttribute = 0x40;
constexpr unsigned char kExtensionSize = 0x42;
constexpr unsigned char kExtensionUnixMode = 0x50;
constexpr char kFolderSeparator = static_cast<char>(0xFF);

void PutLe(std::string& out, std::uint64_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void SetLe16(std::string& out, std::size_t offset, std::uint32_t value) {
  out[offset] = static_cast<char>(value & 0xFF);
  out[offset + 1] = static_cast<char>((value >> 8) & 0xFF);
}

std::uint32_t DosTime(std::time_t time) {
  // The tests that write archives run on one thread.
  const std::tm local = *std::localtime(&time);
  return static_cast<std::uint32_t>((local.tm_year - 80) << 25 | (local.tm_mon + 1) << 21 |
                                    local.tm_mday << 16 | local.tm_hour << 11 | local.tm_min << 5 |
                                    local.tm_sec / 2);
}

struct SplitName {
  std::string folder;  // with its final separator, separators as given
  std::string file;
};

// Splits at the last '\' or '/' that is not the second byte of a character.
SplitName SplitAtLastSeparator(std::string_view name) {
  std::size_t cut = 0;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] == '\\' || name[i] == '/') cut = i + 1;
    if (cp932::IsLeadByte(static_cast<unsigned char>(name[i]))) ++i;
  }
  return {std::string(name.substr(0, cut)), std::string(name.substr(cut))};
}

std::string FolderField(std::string_view folder) {
  std::string field;
  for (std::size_t i = 0; i < folder.size(); ++i) {
    const bool lead = cp932::IsLeadByte(static_cast<unsigned char>(folder[i]));
    field.push_back(folder[i] == '\\' || folder[i] == '/' ? kFolderSeparator : folder[i]);
    if (lead && i + 1 < folder.size()) field.push_back(folder[++i]);
  }
  return field;
}

struct Extension {
  unsigned char type;
  std::string data;
};

// Each extension: its 16-bit size (counting itself), its type, its data; a
// zero size ends the chain.
std::string ExtensionChain(const std::vector<Extension>& extensions) {
  std::string chain;
  for (const Extension& extension : extensions) {
    PutLe(chain, extension.data.size() + 3, 2);
    chain.push_back(static_cast<char>(extension.type));
    chain += extension.data;
  }
  PutLe(chain, 0, 2);
  return chain;
}

std::uint8_t Checksum(std::string_view bytes) {
  unsigned sum = 0;
  for (const char c : bytes) sum += static_cast<unsigned char>(c);
  return static_cast<std::uint8_t>(sum & 0xFF);
}

std::string Method(const LzhEntry& entry, const SplitName& split) {
  return split.file.empty() && !split.folder.empty() ? entry.folderMethod : entry.method;
}

std::uint16_t DataCrc(const LzhEntry& entry) { return entry.crc.value_or(LzhCrc16(entry.content)); }

std::vector<Extension> CommonExtensions(const LzhEntry& entry, const SplitName& split) {
  std::vector<Extension> extensions;
  if (!split.folder.empty()) {
    std::string field = FolderField(split.folder);
    if (!entry.folderFieldEndsWithSeparator) field.pop_back();
    extensions.push_back({kExtensionFolderName, field});
  }
  if (entry.attribute != 0x20) {
    std::string data;
    PutLe(data, entry.attribute, 2);
    extensions.push_back({kExtensionDosAttribute, data});
  }
  if (entry.unixMode) {
    std::string data;
    PutLe(data, *entry.unixMode, 2);
    extensions.push_back({kExtensionUnixMode, data});
  }
  return extensions;
}

std::string Level0Header(const LzhEntry& entry) {
  if (entry.name.size() + entry.level0Area.size() > 221)
    throw std::invalid_argument("level 0 name too long");
  std::string header(2, '\0');
  header += Method(entry, SplitAtLastSeparator(entry.name));
  PutLe(header, entry.content.size(), 4);
  PutLe(header, entry.content.size(), 4);
  PutLe(header, DosTime(entry.time), 4);
  header.push_back(static_cast<char>(entry.attribute));
  header.push_back(0);  // level
  header.push_back(static_cast<char>(entry.name.size()));
  header += entry.name;
  PutLe(header, DataCrc(entry), 2);
  header += entry.level0Area;
  header[0] = static_cast<char>(header.size() - 2);
  header[1] = static_cast<char>(Checksum(std::string_view(header).substr(2)));
  return header;
}

std::string Level1Header(const LzhEntry& entry) {
  const SplitName split = SplitAtLastSeparator(entry.name);
  if (split.file.size() > 230) throw std::invalid_argument("level 1 name too long");
  const std::string chain = ExtensionChain(CommonExtensions(entry, split));
  const std::size_t extensionBytes = chain.size() - 2;  // the base header holds the first size
  std::string header(2, '\0');
  header += Method(entry, split);
  PutLe(header, entry.content.size() + extensionBytes, 4);  // data and extensions
  PutLe(header, entry.content.size(), 4);
  PutLe(header, DosTime(entry.time), 4);
  header.push_back(0x20);
  header.push_back(1);  // level
  header.push_back(static_cast<char>(split.file.size()));
  header += split.file;
  PutLe(header, DataCrc(entry), 2);
  header.push_back(entry.os);
  const std::size_t baseSize = header.size() + 2;
  header += chain;
  header[0] = static_cast<char>(baseSize - 2);
  header[1] = static_cast<char>(Checksum(std::string_view(header).substr(2, baseSize - 2)));
  return header;
}

std::string Level2Header(const LzhEntry& entry) {
  const SplitName split = SplitAtLastSeparator(entry.name);
  const std::uint64_t original = entry.declaredSize.value_or(entry.content.size());
  std::vector<Extension> extensions{{kExtensionHeaderCrc, std::string(2, '\0')}};
  if (!split.file.empty()) extensions.push_back({kExtensionFileName, split.file});
  for (Extension& extension : CommonExtensions(entry, split))
    extensions.push_back(std::move(extension));
  if (entry.declaredSize) {
    std::string sizes;
    PutLe(sizes, entry.content.size(), 8);
    PutLe(sizes, original, 8);
    extensions.push_back({kExtensionSize, sizes});
  }
  std::string header(2, '\0');
  header += Method(entry, split);
  PutLe(header, entry.content.size(), 4);
  PutLe(header, original & 0xFFFFFFFF, 4);
  PutLe(header, static_cast<std::uint64_t>(entry.time), 4);
  header.push_back(0x20);
  header.push_back(2);  // level
  PutLe(header, DataCrc(entry), 2);
  header.push_back(entry.os);
  header += ExtensionChain(extensions);
  SetLe16(header, 0, static_cast<std::uint32_t>(header.size()));
  // The header CRC is the first extension's data, counted as zero.
  SetLe16(header, 27, LzhCrc16(header));
  return header;
}

std::string Header(const LzhEntry& entry, int level) {
  switch (level) {
    case 0:
      return Level0Header(entry);
    case 1:
      return Level1Header(entry);
    case 2:
      return Level2Header(entry);
    default:
      throw std::invalid_argument("header level must be 0, 1 or 2");
  }
}

}  // namespace

std::uint16_t LzhCrc16(std::string_view bytes) {
  std::uint16_t crc = 0;
  for (const char c : bytes) {
    crc = static_cast<std::uint16_t>(crc ^ static_cast<unsigned char>(c));
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<std::uint16_t>((crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1);
    }
  }
  return crc;
}

std::string StoredLzh(const std::vector<LzhEntry>& entries, const LzhOptions& options) {
  std::string archive;
  for (const LzhEntry& entry : entries)
    archive += Header(entry, options.headerLevel) + entry.content;
  archive.push_back('\0');  // end of the archive
  return archive;
}

void WriteStoredLzh(const std::filesystem::path& path, const std::vector<LzhEntry>& entries,
                    const LzhOptions& options) {
  std::filesystem::create_directories(path.parent_path());
  const std::string archive = StoredLzh(entries, options);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(archive.data(), static_cast<std::streamsize>(archive.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

}  // namespace tovrin::testing
