#pragma once
// Where an archive member goes below the base folder, and the refusal of
// names that would leave it.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tovrin {

// A member's place below the base folder.
struct MemberTarget {
  std::vector<std::string> folders;  // CP932 folder names, outermost first
  std::string name;                  // CP932 file name
  // "folder\folder\name".
  std::string RelativePath() const;
};

// The member name as stored (CP932, '\' or '/' between folders) in its
// Windows spelling, for messages.
std::string MemberDisplayName(std::string_view name);

// Whether the name ends with a separator ('\' or '/', not the second byte
// of a double-byte character): it names a folder and no file.
bool EndsWithFolderSeparator(std::string_view name);

// The place of a member below the base folder: its name alone when
// `keepFolders` is false, else its folders too, each spelled as Windows
// creates it (trailing dots and blanks dropped). Nullopt for a name that is
// empty, "." or "..", absolute, with a drive letter or a colon, a device name
// (CON, NUL, COM1, ...), or whose ".." would climb above the base folder. A
// 0x5C that is the second byte of a double-byte character is not a separator.
std::optional<MemberTarget> MemberTargetPath(std::string_view name, bool keepFolders);

}  // namespace tovrin
