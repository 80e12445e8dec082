#pragma once
// Reading CP932 Windows paths byte by byte: a 0x5C second byte is part of its
// character, never a separator.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin::path_text {

bool IsSeparator(char byte);

// Byte width of the character at `position` (2 for a complete double-byte one).
std::size_t CharacterWidth(std::string_view text, std::size_t position);

// Position of the last separator, or npos.
std::size_t LastSeparator(std::string_view path);

// The non-empty parts between separators, in order.
std::vector<std::string> Components(std::string_view path);

// True when a path meant relative to a folder climbs above it: a ".."
// for which no earlier part is left to take away ("." parts count for
// nothing, separators at the start or repeated count as one).
bool ClimbsAboveStart(std::string_view relative);

// The path as Windows writes it: each run of separators one backslash
// (a leading pair, which names a network share, kept).
std::string SingleSeparators(std::string_view path);

// Equal without regard to ASCII letter case, second bytes compared exactly.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// The folder with a backslash at its end, ready for a name to be appended
// (a trailing 0x5C that is a second byte is no separator).
std::string FolderWithSeparator(const std::string& folder);

// Whether `path` lies below `folder` (letter case ignored as Windows ignores it).
bool IsInsideFolder(const std::string& path, const std::string& folder);

}  // namespace tovrin::path_text
