#include "platform/drive_table.hpp"
#include "platform/posix/host_file_system.hpp"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/temp_folder.hpp"
#include "tests/support/wine_prefix.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using testing::TempFolder;
using testing::WinePrefix;

std::optional<DriveTable> Build(const DriveOptions& options) {
  std::string error;
  auto table = BuildDriveTable(options, error);
  EXPECT_TRUE(table) << error;
  return table;
}

std::string BuildError(const DriveOptions& options) {
  std::string error;
  EXPECT_FALSE(BuildDriveTable(options, error));
  return error;
}

TEST(DriveOptions, MapFoldersWithTheirTypesAndAddZForTheRoot) {
  TempFolder temp;
  fs::create_directories(temp.path() / "c");
  fs::create_directories(temp.path() / "floppy");
  const auto table = Build({{"c=" + (temp.path() / "c").string(),
                             "A=" + (temp.path() / "floppy").string() + ":removable"},
                            std::nullopt});
  ASSERT_TRUE(table);
  const auto drives = table->Drives();
  ASSERT_EQ(drives.size(), 3u);
  EXPECT_EQ(drives[0].letter, 'A');
  EXPECT_EQ(drives[0].type, DRIVE_REMOVABLE);
  EXPECT_EQ(drives[1].letter, 'C');
  EXPECT_EQ(drives[1].type, DRIVE_FIXED);
  EXPECT_EQ(drives[1].root, fs::canonical(temp.path() / "c"));
  EXPECT_EQ(drives[2].letter, 'Z');
  EXPECT_EQ(drives[2].root, fs::path("/"));
}

TEST(DriveOptions, ZStaysWhereTheOptionsPutIt) {
  TempFolder temp;
  const auto table = Build({{"Z=" + temp.path().string() + ":cdrom"}, std::nullopt});
  ASSERT_TRUE(table);
  ASSERT_NE(table->Find('z'), nullptr);
  EXPECT_EQ(table->Find('Z')->root, fs::canonical(temp.path()));
  EXPECT_EQ(table->Find('Z')->type, DRIVE_CDROM);
}

TEST(DriveOptions, MalformedOptionsAreRefusedWithAReason) {
  TempFolder temp;
  const std::string folder = temp.path().string();
  EXPECT_NE(BuildError({{"C:" + folder}, std::nullopt}), "");
  EXPECT_NE(BuildError({{"1=" + folder}, std::nullopt}), "");
  EXPECT_NE(BuildError({{"C="}, std::nullopt}), "");
  EXPECT_NE(BuildError({{"C=" + folder + ":floppy"}, std::nullopt}).find("floppy"),
            std::string::npos);
  EXPECT_NE(BuildError({{"C=" + folder + "/missing"}, std::nullopt}).find("not a folder"),
            std::string::npos);
}

TEST(DriveTypes, NamesAndValuesMatch) {
  for (const auto type : {DRIVE_FIXED, DRIVE_REMOVABLE, DRIVE_CDROM, DRIVE_REMOTE}) {
    EXPECT_EQ(ParseDriveType(DriveTypeName(type)), type);
  }
  EXPECT_EQ(ParseDriveType("Fixed"), std::nullopt);
  EXPECT_EQ(ParseDriveType(""), std::nullopt);
}

TEST(WinePrefixDrives, LinksGiveLettersAndSystemRegGivesTypes) {
  WinePrefix wine;
  const auto table = ReadWinePrefixDrives(wine.prefix);
  const auto drives = table.Drives();
  ASSERT_EQ(drives.size(), 4u);
  EXPECT_EQ(table.Find('A')->type, DRIVE_REMOVABLE);
  EXPECT_EQ(table.Find('C')->type, DRIVE_FIXED);
  EXPECT_EQ(table.Find('C')->root, fs::canonical(wine.prefix / "drive_c"));
  EXPECT_EQ(table.Find('D')->type, DRIVE_CDROM);
  EXPECT_EQ(table.Find('D')->root, fs::canonical(wine.cdrom));
  EXPECT_EQ(table.Find('Z')->root, fs::path("/"));
}

TEST(WinePrefixDrives, OptionEnvironmentAndHomeAreTriedInThatOrder) {
  WinePrefix wine;
  TempFolder home;
  fs::create_directories(home.path() / ".wine" / "dosdevices");
  fs::create_symlink(home.path(), home.path() / ".wine" / "dosdevices" / "h:");

  const char* savedHome = std::getenv("HOME");
  const std::optional<std::string> restoreHome =
      savedHome ? std::optional<std::string>(savedHome) : std::nullopt;
  setenv("HOME", home.path().c_str(), 1);
  unsetenv("WINEPREFIX");
  auto fromHome = Build({});
  setenv("WINEPREFIX", wine.prefix.c_str(), 1);
  auto fromEnvironment = Build({});
  auto fromOption = Build({{}, (home.path() / ".wine").string()});
  auto fromDrives = Build({{"Q=" + home.path().string()}, wine.prefix.string()});
  unsetenv("WINEPREFIX");
  if (restoreHome) {
    setenv("HOME", restoreHome->c_str(), 1);
  } else {
    unsetenv("HOME");
  }

  ASSERT_TRUE(fromHome && fromEnvironment && fromOption && fromDrives);
  EXPECT_NE(fromHome->Find('H'), nullptr);
  EXPECT_NE(fromEnvironment->Find('D'), nullptr);
  EXPECT_EQ(fromEnvironment->Find('H'), nullptr);
  EXPECT_NE(fromOption->Find('H'), nullptr);
  EXPECT_EQ(fromDrives->Find('C'), nullptr) << "--drive options leave the prefix alone";
  EXPECT_NE(fromDrives->Find('Q'), nullptr);
  EXPECT_EQ(FindWinePrefix({{}, wine.prefix.string()}), wine.prefix);
}

TEST(HostFileSystem, TheWindowsDirectoryIsThePrefixsOrATemporaryFolder) {
  WinePrefix wine;
  std::string error;
  const auto inPrefix = MakeHostFileSystem({{}, wine.prefix.string()}, error);
  ASSERT_NE(inPrefix, nullptr) << error;
  EXPECT_EQ(inPrefix->GetWindowsDirectory(), "C:\\windows");
  EXPECT_EQ(inPrefix->GetDriveType("D:"), DRIVE_CDROM);

  const auto withoutPrefix =
      MakeHostFileSystem({{"C=" + wine.floppy.string()}, std::nullopt}, error);
  ASSERT_NE(withoutPrefix, nullptr) << error;
  const auto host = withoutPrefix->Resolve(withoutPrefix->GetWindowsDirectory());
  ASSERT_TRUE(host);
  EXPECT_EQ(*host, fs::canonical(fs::temp_directory_path()));

  EXPECT_EQ(MakeHostFileSystem({{"C"}, std::nullopt}, error), nullptr);
  EXPECT_NE(error, "");
}

TEST(WinePrefixDrives, ANamedPrefixMustExist) {
  TempFolder temp;
  EXPECT_NE(BuildError({{}, (temp.path() / "nowhere").string()}).find("not a Wine prefix"),
            std::string::npos);
}

}  // namespace
}  // namespace tovrin
