#pragma once
// The DOS attribute byte of an LZH member, read from its header bytes:
// libarchive keeps only the read-only bit of it.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tovrin {

// `header` starts at the member's header (levels 0, 1 and 2). Level 0 keeps
// the byte in its base header; levels 1 and 2 in an extended header of type
// 0x40 when there is one. Only the read-only, hidden, system and archive bits
// are returned; nullopt when the header cannot be read.
std::optional<std::uint8_t> DosAttributeOfHeader(std::string_view header);

}  // namespace tovrin
