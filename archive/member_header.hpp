#pragma once
// The fields of an LZH member header that must be read as stored: liblhasa
// turns every 0x5C of a level 0 or 1 name into '/' (second bytes of CP932
// characters too), lowers all-capital DOS names and drops "..", and it keeps
// neither the DOS attribute byte nor the 64-bit size.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tovrin {

struct StoredHeader {
  // The member's CP932 path as stored: folders end with '\' (level 0 and 1
  // names keep their own separators, '\' or '/').
  std::string name;
  // Read-only, hidden, system and archive bits.
  std::uint8_t attribute = 0;
  // The original size of the 64-bit size extension, when there is one.
  std::optional<std::uint64_t> largeSize;
};

// `header` is the member's whole header, extensions included (levels 0 to
// 3). Nullopt when its extension chain cannot be walked.
std::optional<StoredHeader> ReadStoredHeader(std::string_view header);

// An entry liblhasa takes for a broken header although its archiver wrote
// it so, and which holds no data: a folder without a file name (OSK LHa and
// Unix LHa write one at level 0 as a nameless "-lhd-", Amiga LhA one at
// level 1 as a "-lh0-" holding only a folder extension), or a symbolic link
// whose "|target" is missing.
struct DatalessEntry {
  std::string folder;        // a folder to make, CP932 ending in '\'; empty for none
  std::size_t headerLength;  // extensions included; no data follows
};

// `bytes` begin with the header (level 0 to 2). Nullopt unless they hold all
// of it with its checksum or CRC right and it is such an entry.
std::optional<DatalessEntry> ReadDatalessEntry(std::string_view bytes);

}  // namespace tovrin
