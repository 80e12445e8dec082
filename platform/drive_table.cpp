#include "platform/drive_table.hpp"

#include "platform/registry.hpp"

#include <cctype>
#include <cstdlib>
#include <system_error>

namespace tovrin {
namespace fs = std::filesystem;

bool IsFolderOrUnknown(const fs::path& folder) {
  std::error_code error;
  const bool isFolder = fs::is_directory(folder, error);
  return isFolder || (error && error != std::errc::no_such_file_or_directory &&
                      error != std::errc::not_a_directory);
}

namespace {

char UpperLetter(char letter) {
  return static_cast<char>(std::toupper(static_cast<unsigned char>(letter)));
}

bool IsDriveLetter(char letter) {
  const char upper = UpperLetter(letter);
  return upper >= 'A' && upper <= 'Z';
}

// Symbolic links and relative spellings resolved, so that host paths map
// back to Windows paths by plain prefix comparison.
fs::path HostFolder(const fs::path& folder) {
  std::error_code error;
  auto canonical = fs::weakly_canonical(fs::absolute(folder, error), error);
  if (error) return fs::absolute(folder).lexically_normal();
  return canonical;
}

// "L=DIR[:TYPE]"; the part after the last colon is a type unless it looks
// like a path.
std::optional<Drive> ParseDriveOption(std::string_view option, std::string& error) {
  if (option.size() < 3 || option[1] != '=' || !IsDriveLetter(option[0])) {
    error = "malformed --drive \"" + std::string(option) + "\": expected L=DIR[:TYPE]";
    return std::nullopt;
  }
  std::string_view folder = option.substr(2);
  DriveType type = DRIVE_FIXED;
  const std::size_t colon = folder.rfind(':');
  if (colon != std::string_view::npos && folder.find('/', colon) == std::string_view::npos) {
    const auto parsed = ParseDriveType(folder.substr(colon + 1));
    if (!parsed) {
      error = "unknown drive type \"" + std::string(folder.substr(colon + 1)) +
              "\": expected fixed, removable, cdrom or remote";
      return std::nullopt;
    }
    type = *parsed;
    folder = folder.substr(0, colon);
  }
  // A folder that cannot be looked at now is mapped all the same: what
  // fails later is a file error of the run, not a bad command line.
  if (folder.empty() || !IsFolderOrUnknown(fs::path(folder))) {
    error = "--drive " + std::string(1, UpperLetter(option[0])) + ": \"" + std::string(folder) +
            "\" is not a folder";
    return std::nullopt;
  }
  return Drive{UpperLetter(option[0]), HostFolder(fs::path(folder)), type};
}

std::string Lower(std::string_view text) {
  std::string lower(text);
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return lower;
}

std::optional<DriveType> WineDriveType(std::string_view value) {
  const std::string name = Lower(value);
  if (name == "floppy") return DRIVE_REMOVABLE;
  if (name == "cdrom") return DRIVE_CDROM;
  if (name == "network") return DRIVE_REMOTE;
  if (name == "hd") return DRIVE_FIXED;
  return std::nullopt;
}

// The types Wine keeps under HKLM\Software\Wine\Drives: "d:"="cdrom".
std::map<char, DriveType> ReadWineDriveTypes(const fs::path& prefix) {
  std::map<char, DriveType> types;
  std::error_code error;
  // A prefix Wine has not started yet has no registry: every drive is fixed.
  if (!fs::exists(prefix / "system.reg", error)) return types;
  Registry registry = Registry::FromWinePrefix(prefix);
  HKEY key = 0;
  if (registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Wine\\Drives", 0, KEY_ALL_ACCESS,
                             &key) != ERROR_SUCCESS) {
    return types;
  }
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    char value[32];
    DWORD size = sizeof value;
    DWORD kind = 0;
    const std::string name{letter, ':'};
    if (registry.RegQueryValueExA(key, name, nullptr, &kind,
                                  reinterpret_cast<unsigned char*>(value),
                                  &size) != ERROR_SUCCESS) {
      continue;
    }
    if (const auto type = WineDriveType(std::string_view(value)))
      types[UpperLetter(letter)] = *type;
  }
  registry.RegCloseKey(key);
  return types;
}

bool IsWinePrefix(const fs::path& folder) {
  std::error_code error;
  return fs::is_directory(folder / "dosdevices", error);
}

}  // namespace

void DriveTable::Map(char letter, fs::path root, DriveType type) {
  const char upper = UpperLetter(letter);
  drives_[upper] = Drive{upper, std::move(root), type};
}

const Drive* DriveTable::Find(char letter) const {
  const auto found = drives_.find(UpperLetter(letter));
  return found == drives_.end() ? nullptr : &found->second;
}

std::vector<Drive> DriveTable::Drives() const {
  std::vector<Drive> drives;
  for (const auto& [letter, drive] : drives_) drives.push_back(drive);
  return drives;
}

DriveTable ReadWinePrefixDrives(const fs::path& prefix) {
  DriveTable table;
  const fs::path devices = prefix / "dosdevices";
  const auto types = ReadWineDriveTypes(prefix);
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(devices, error)) {
    const std::string name = entry.path().filename().string();
    // "d::" entries name raw devices, not folders.
    if (name.size() != 2 || name[1] != ':' || !IsDriveLetter(name[0])) continue;
    std::error_code linkError;
    fs::path target = fs::read_symlink(entry.path(), linkError);
    if (linkError) continue;
    if (target.is_relative()) target = devices / target;
    const char letter = UpperLetter(name[0]);
    const auto type = types.find(letter);
    table.Map(letter, HostFolder(target), type == types.end() ? DRIVE_FIXED : type->second);
  }
  return table;
}

std::optional<fs::path> FindWinePrefix(const DriveOptions& options) {
  if (!options.drives.empty()) return std::nullopt;
  if (options.winePrefix) return fs::path(*options.winePrefix);
  if (const char* variable = std::getenv("WINEPREFIX"); variable != nullptr && *variable != '\0') {
    return fs::path(variable);
  }
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0') return std::nullopt;
  const fs::path standard = fs::path(home) / ".wine";
  if (!IsWinePrefix(standard)) return std::nullopt;
  return standard;
}

std::optional<DriveTable> BuildDriveTable(const DriveOptions& options, std::string& error) {
  DriveTable table;
  for (const auto& option : options.drives) {
    const auto drive = ParseDriveOption(option, error);
    if (!drive) return std::nullopt;
    table.Map(drive->letter, drive->root, drive->type);
  }
  if (const auto prefix = FindWinePrefix(options)) {
    if (!IsWinePrefix(*prefix)) {
      // A prefix named on purpose must be one; one from the environment that
      // does not exist yet simply maps nothing.
      if (options.winePrefix) {
        error = "\"" + prefix->string() + "\" is not a Wine prefix (no dosdevices folder)";
        return std::nullopt;
      }
    } else {
      table = ReadWinePrefixDrives(*prefix);
    }
  }
  if (table.Find('Z') == nullptr) table.Map('Z', "/", DRIVE_FIXED);
  return table;
}

std::optional<DriveType> ParseDriveType(std::string_view name) {
  if (name == "fixed") return DRIVE_FIXED;
  if (name == "removable") return DRIVE_REMOVABLE;
  if (name == "cdrom") return DRIVE_CDROM;
  if (name == "remote") return DRIVE_REMOTE;
  return std::nullopt;
}

std::string_view DriveTypeName(DriveType type) {
  switch (type) {
    case DRIVE_FIXED:
      return "fixed";
    case DRIVE_REMOVABLE:
      return "removable";
    case DRIVE_CDROM:
      return "cdrom";
    case DRIVE_REMOTE:
      return "remote";
    case DRIVE_NO_ROOT_DIR:
      return "no-root";
    case DRIVE_UNKNOWN:
      break;
  }
  return "unknown";
}

}  // namespace tovrin
