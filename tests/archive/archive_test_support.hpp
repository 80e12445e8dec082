#pragma once
// A temporary C: drive with a medium folder and a target folder, the real
// POSIX file system over it, and the archive library on top.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <set>
#include <string>

#include "archive/lzh_archive_library.hpp"
#include "platform/drive_table.hpp"
#include "tests/support/test_file_system.hpp"
#include "tests/support/lzh_writer.hpp"
#include "tests/support/temp_drive.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {

struct CommandResult {
  int code;
  std::string message;  // CP932
};

inline std::filesystem::path FixtureFolder() {
  return std::filesystem::path(TOVRIN_SOURCE_DIR) / "tests" / "data" / "archive";
}

template <typename Files = TestFileSystem>
class ArchiveDrive : public ::testing::Test {
 protected:
  ArchiveDrive() { std::filesystem::create_directories(Dest()); }

  std::filesystem::path Root() const { return temp_.path(); }
  std::filesystem::path Dest() const { return temp_.path() / "dest"; }

  // Puts `bytes` at C:\medium\<name> and returns its Windows path without ".lzh".
  std::string PutArchive(const std::string& bytes, const std::string& name = "DATA") {
    temp_.Write("medium/" + name + ".lzh", bytes);
    return "C:\\medium\\" + name;
  }
  std::string PutFixture(const std::string& fixture) {
    std::ifstream in(FixtureFolder() / fixture, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_FALSE(bytes.str().empty()) << fixture;
    return PutArchive(bytes.str());
  }
  std::string PutEntries(const std::vector<LzhEntry>& entries, int level = 2) {
    return PutArchive(StoredLzh(entries, {level}));
  }

  CommandResult Run(const std::string& line, DWORD size = 256) {
    std::string output(size + 16, '\x7F');
    const int code = library_.Command(nullptr, line, output.data(), size);
    const auto end = output.find('\0');
    EXPECT_LT(end, static_cast<std::size_t>(size)) << "message not terminated in the buffer";
    return {code, output.substr(0, end)};
  }
  // The run's own command line, with the folder "C:\dest\" or a given one.
  CommandResult Extract(const std::string& archive, char letter = 'e',
                        const std::string& folder = "C:\\dest\\") {
    return Run(std::string(1, letter) + " -mcwC:\\WINDOWS \"" + archive + "\" \"" + folder + "\"");
  }

  // Every file below the drive root, as relative host paths.
  std::set<std::string> AllFiles() const {
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(Root())) {
      if (!entry.is_directory())
        files.insert(entry.path().lexically_relative(Root()).generic_string());
    }
    return files;
  }

  TempFolder temp_;
  DriveTable table_ = TempDriveTable(temp_.path());
  Files files_{table_};
  LzhArchiveLibrary library_{files_};
};

}  // namespace tovrin::testing
