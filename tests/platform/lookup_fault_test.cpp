// An I/O error while a path is looked up (injected into lstat) is no "no
// such file": every operation on that path fails and nothing is replaced,
// created or listed as empty.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "platform/posix/file_system.hpp"
#include "platform/profile.hpp"
#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

// lstat fails with EIO for every host path whose file name is `failing`.
class FailingLookUp : public PosixFileSystem {
 public:
  FailingLookUp(DriveTable drives, std::string failing)
      : PosixFileSystem(std::move(drives)),
        failing_(std::move(failing)) {}

 protected:
  int LookUpHost(const fs::path& host, struct stat& status) const override {
    if (host.filename() != failing_) return PosixFileSystem::LookUpHost(host, status);
    errno = EIO;
    return -1;
  }

 private:
  std::string failing_;
};

constexpr std::string_view kSettings = "[SYSTEM]\r\nVERSION=8\r\nTITLE=T\r\n";

TEST(LookUpFault, ASettingsFileThatCannotBeLookedUpIsNeitherAbsentNorReplaced) {
  testing::TempDrive drive;
  drive.WriteFile("velsor1.ini", kSettings);
  FailingLookUp files(testing::TempDriveTable(drive.folder.path()), "velsor1.ini");

  EXPECT_EQ(files.Exists("C:\\velsor1.ini"), Presence::Unknown);
  EXPECT_EQ(files.Exists("C:\\other.ini"), Presence::Absent);
  EXPECT_EQ(files.Exists("C:\\velsor1.ini"), Presence::Unknown);
  EXPECT_EQ(WritePrivateProfileStringA(files, "SYSTEM", "GENGOU", "R", "C:\\velsor1.ini"), 0);
  EXPECT_FALSE(ReadProfileText(files, "SYSTEM", "TITLE", "", 100, "C:\\velsor1.ini").has_value());
  // The Windows function itself still answers the default, as Windows does.
  EXPECT_EQ(GetProfileText(files, "SYSTEM", "TITLE", "none", 100, "C:\\velsor1.ini"), "none");
  EXPECT_EQ(files.Create("C:\\velsor1.ini"), nullptr);
  EXPECT_EQ(files.BeginReplace("C:\\velsor1.ini"), nullptr);
  EXPECT_EQ(drive.ReadFile("velsor1.ini"), kSettings);
}

// The drive's own folder is looked up like any other: failing, it hides
// nothing that a writer could then take for absent.
TEST(LookUpFault, ADriveFolderThatCannotBeLookedUpHasNoAbsentFiles) {
  testing::TempDrive drive;
  drive.WriteFile("velsor1.ini", kSettings);
  FailingLookUp files(testing::TempDriveTable(drive.folder.path()),
                      drive.folder.path().filename().string());

  EXPECT_EQ(files.Exists("C:\\velsor1.ini"), Presence::Unknown);
  EXPECT_EQ(files.Exists("C:\\other.ini"), Presence::Unknown);
  EXPECT_EQ(WritePrivateProfileStringA(files, "SYSTEM", "GENGOU", "R", "C:\\velsor1.ini"), 0);
  EXPECT_FALSE(files.SearchFiles("C:\\*.ini").has_value());
  EXPECT_EQ(drive.ReadFile("velsor1.ini"), kSettings);
}

TEST(LookUpFault, AFolderThatCannotBeLookedUpIsNoEmptyFolder) {
  testing::TempDrive drive;
  drive.WriteFile("M\\1\\zai001-3.mst", "record\r\n");
  FailingLookUp files(testing::TempDriveTable(drive.folder.path()), "1");

  EXPECT_FALSE(files.SearchFiles("C:\\M\\1\\*.mst").has_value());
  EXPECT_TRUE(files.FindFiles("C:\\M\\1\\*.mst").empty());
  ASSERT_TRUE(files.SearchFiles("C:\\M\\2\\*.mst").has_value());
  EXPECT_TRUE(files.SearchFiles("C:\\M\\2\\*.mst")->empty());
  EXPECT_EQ(files.Mkdir("C:\\M\\1\\NEW"), -1);
  EXPECT_FALSE(fs::exists(drive.Host("M\\1\\NEW")));
}

}  // namespace
}  // namespace tovrin
