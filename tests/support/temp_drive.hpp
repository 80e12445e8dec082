#pragma once
// The real file system whose drive C: is a fresh temporary folder, for
// tests that run the platform layer on real files.

#include <filesystem>
#include <string>
#include <string_view>

#include "platform/drive_table.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/test_file_system.hpp"

namespace tovrin::testing {

// C: mapped to a TempFolder; the host's temporary folder answers
// GetWindowsDirectory unless a test maps more.
DriveTable TempDriveTable(const std::filesystem::path& root);

struct TempDrive {
  TempFolder folder;
  TestFileSystem files{TempDriveTable(folder.path())};

  // The host path of a CP932 path below C:\ ("ソフト\表示.txt"), spelled as
  // given: each part converted to UTF-8.
  std::filesystem::path Host(std::string_view cp932Relative) const;
  // Writes a file at a CP932 path below C:\, creating its folders.
  std::filesystem::path WriteFile(std::string_view cp932Relative, std::string_view bytes) const;
  std::string ReadFile(std::string_view cp932Relative) const;
};

}  // namespace tovrin::testing
