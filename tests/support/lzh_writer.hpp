#pragma once
// Writes stored (-lh0-) LZH archives with any raw CP932 names, folders,
// attributes and CRCs, at header level 0, 1 or 2: Shift-JIS names whose
// second bytes are 0x5C, hostile names and broken members for tests.

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tovrin::testing {

// 2001-02-03 04:05:06 UTC: an even second, which a DOS time can hold.
inline constexpr std::time_t kLzhDefaultTime = 981173106;

struct LzhEntry {
  LzhEntry(std::string entryName, std::string entryContent = {})
      : name(std::move(entryName)),
        content(std::move(entryContent)) {}

  std::string name;     // raw CP932 bytes; '\' or '/' between folders; a final one makes a folder
  std::string content;  // stored as it is
  std::optional<std::uint16_t> crc;  // stored instead of the content's true CRC
  std::uint8_t attribute = 0x20;     // DOS attribute byte
  std::time_t time = kLzhDefaultTime;
  std::string method = "-lh0-";               // written into the header; the data stays stored
  std::optional<std::uint16_t> unixMode;      // levels 1 and 2: a Unix mode extension
  std::optional<std::uint64_t> declaredSize;  // level 2: the original size the header claims
  // How other archivers write: a folder entry's method (Amiga LhA: "-lh0-"),
  // the OS byte of levels 1 and 2 (Amiga: 'A'), a folder field without its
  // final separator (Amiga LhA 1.22), bytes after a level 0 header's CRC
  // (Unix LHa's and OS-9 LHa's extended areas; an "oversized" header).
  std::string folderMethod = "-lhd-";
  char os = 'M';
  bool folderFieldEndsWithSeparator = true;
  std::string level0Area;
};

struct LzhOptions {
  int headerLevel = 2;
};

// The CRC-16 of LZH archives (polynomial 0xA001, reflected, start 0).
std::uint16_t LzhCrc16(std::string_view bytes);

std::string StoredLzh(const std::vector<LzhEntry>& entries, const LzhOptions& options = {});
// Writes the archive to a host path, creating its folder.
void WriteStoredLzh(const std::filesystem::path& path, const std::vector<LzhEntry>& entries,
                    const LzhOptions& options = {});

}  // namespace tovrin::testing
