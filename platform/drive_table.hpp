#pragma once
// Drive letters mapped onto host folders, the way Wine maps them.

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/windows_types.hpp"

namespace tovrin {

struct Drive {
  char letter;                 // upper case, 'A' to 'Z'
  std::filesystem::path root;  // absolute host folder
  DriveType type;
};

class DriveTable {
 public:
  // Maps (or re-maps) a letter; the letter may be given in either case.
  void Map(char letter, std::filesystem::path root, DriveType type);
  const Drive* Find(char letter) const;
  // Every mapped drive, in letter order.
  std::vector<Drive> Drives() const;
  bool Empty() const { return drives_.empty(); }

 private:
  std::map<char, Drive> drives_;
};

// Where the table comes from: `--drive` options win over a Wine prefix.
struct DriveOptions {
  std::vector<std::string> drives;        // "L=DIR[:TYPE]", as given
  std::optional<std::string> winePrefix;  // --wine-prefix
};

// Builds the table: the --drive options, else the Wine prefix (--wine-prefix,
// else $WINEPREFIX, else ~/.wine when it exists), and Z: for "/" unless
// taken. Returns nullopt with `error` set for a malformed option.
std::optional<DriveTable> BuildDriveTable(const DriveOptions& options, std::string& error);
// A folder, or a path that could not be looked at (an I/O error, no
// permission): only "nothing there" or "not a folder" make an option bad.
bool IsFolderOrUnknown(const std::filesystem::path& folder);

// The drives of one Wine prefix: dosdevices/x: links and the types of
// [Software\\Wine\\Drives] in system.reg.
DriveTable ReadWinePrefixDrives(const std::filesystem::path& prefix);

// The Wine prefix BuildDriveTable reads for these options, if any: none when
// --drive options are given.
std::optional<std::filesystem::path> FindWinePrefix(const DriveOptions& options);

// "fixed", "removable", "cdrom", "remote"; nullopt for anything else.
std::optional<DriveType> ParseDriveType(std::string_view name);
std::string_view DriveTypeName(DriveType type);

}  // namespace tovrin
