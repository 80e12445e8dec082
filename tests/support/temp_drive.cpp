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

std::filesystem::path TempDrive::Host(std::string_view cp932Relative) const {
  std::filesystem::path relative;
  for (const auto& part : path_text::Components(cp932Relative)) {
    const auto name = cp932::ToUtf8(part);
    if (!name) throw std::invalid_argument("not CP932: " + part);
    relative /= *name;
  }
  return folder.path() / relative;
}

std::filesystem::path TempDrive::WriteFile(std::string_view cp932Relative, std::string_view bytes) const {
  return folder.Write(std::filesystem::relative(Host(cp932Relative), folder.path()), bytes);
}

std::string TempDrive::ReadFile(std::string_view cp932Relative) const {
  return folder.Read(std::filesystem::relative(Host(cp932Relative), folder.path()));
}

}  // namespace tovrin::testing
