#include "tests/support/temp_drive.hpp"

#include <stdexcept>

#include "platform/cp932.hpp"
#include "platform/path_text.hpp"

namespace tovrin::testing {

DriveTable TempDriveTable(const std::filesystem::path& root) {
  DriveTable table;
  table.Map('C', std::filesystem::canonical(root), DRIVE_FIXED);
  return table;
}

namespace {

// "ソフト\表示.txt" as a host path below the drive root.
std::filesystem::path HostRelative(std::string_view cp932Relative) {
  std::filesystem::path relative;
  for (const auto& part : path_text::Components(cp932Relative)) {
    const auto name = cp932::ToUtf8(part);
    if (!name) throw std::invalid_argument("not CP932: " + part);
    // UTF-8 spelled out: Windows takes narrow path text in its ANSI code page.
    relative /= std::filesystem::path(std::u8string(name->begin(), name->end()));
  }
  return relative;
}

}  // namespace

std::filesystem::path TempDrive::Host(std::string_view cp932Relative) const {
  const auto root = std::filesystem::canonical(folder.path());
  const auto relative = HostRelative(cp932Relative);
  return relative.empty() ? root : root / relative;
}

std::filesystem::path TempDrive::WriteFile(std::string_view cp932Relative,
                                           std::string_view bytes) const {
  return folder.Write(HostRelative(cp932Relative), bytes);
}

std::string TempDrive::ReadFile(std::string_view cp932Relative) const {
  return folder.Read(HostRelative(cp932Relative));
}

}  // namespace tovrin::testing
