#include <gtest/gtest.h>

#include "platform/cp932.hpp"
#include "platform/posix/file_system.hpp"
#include "platform/program_directory.hpp"
#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using cp932::Text;
using testing::TempDrive;
using testing::TempFolder;

class PathResolution : public ::testing::Test {
 protected:
  void SetUp() override {
    drive.WriteFile("Prog\\Data.TXT", "data");
    drive.WriteFile("Prog\\sub\\zai001-3.mst", "m");
  }
  fs::path Host(std::string_view relative) { return drive.Host(relative); }

  TempDrive drive;
  PosixFileSystem& files = drive.files;
};

TEST_F(PathResolution, AbsolutePathsMatchComponentsWithoutRegardToCase) {
  EXPECT_EQ(files.Resolve("C:\\PROG\\data.txt"), Host("Prog\\Data.TXT"));
  EXPECT_EQ(files.Resolve("c:/prog/SUB/ZAI001-3.MST"), Host("Prog\\sub\\zai001-3.mst"));
  EXPECT_EQ(files.Resolve("C:\\"), fs::canonical(drive.folder.path()));
  EXPECT_EQ(files.Resolve("C:\\Prog\\New\\file.txt"), Host("Prog\\New\\file.txt"))
      << "the missing rest is appended as given";
  EXPECT_EQ(files.Exists("C:\\PROG\\DATA.TXT"), Presence::Present);
  EXPECT_EQ(files.Exists("C:\\Prog\\Data.TXT\\"), Presence::Present);
  EXPECT_EQ(files.Exists("C:\\Prog\\Nothing"), Presence::Absent);
}

TEST_F(PathResolution, SeparatorsDotsAndTheRoot) {
  EXPECT_EQ(files.Resolve("C:\\\\Prog//sub\\/.\\zai001-3.mst"), Host("Prog\\sub\\zai001-3.mst"));
  EXPECT_EQ(files.Resolve("C:\\Prog\\sub\\..\\Data.TXT"), Host("Prog\\Data.TXT"));
  EXPECT_EQ(files.Resolve("C:\\..\\..\\Prog\\..\\..\\Prog"), Host("Prog"))
      << ".. stops at the root";
  EXPECT_EQ(files.Resolve("\\\\server\\share\\file"), std::nullopt);
  EXPECT_EQ(files.Resolve(std::string("C:\\Prog\0\\..", 11)), std::nullopt) << "no NUL in a name";
}

TEST_F(PathResolution, AnExactMatchWinsOverOneInAnotherCase) {
  drive.WriteFile("same.txt", "lower");
  drive.WriteFile("SAME.TXT", "upper");
  EXPECT_EQ(files.Resolve("C:\\same.txt"), Host("same.txt"));
  EXPECT_EQ(files.Resolve("C:\\SAME.TXT"), Host("SAME.TXT"));
  EXPECT_EQ(files.Resolve("C:\\Same.txt"), Host("SAME.TXT"))
      << "neither exact: the first in byte order";
}

TEST_F(PathResolution, NamesWithA5CSecondByte) {
  drive.WriteFile(Text("ソフト\\表示.txt"), "x");
  EXPECT_TRUE(fs::exists(drive.folder.path() / "ソフト" / "表示.txt"));
  EXPECT_EQ(files.Resolve(Text("C:\\ソフト\\表示.txt")),
            drive.folder.path() / "ソフト" / "表示.txt");
  ASSERT_EQ(files.Chdir(Text("C:\\ソフト")), 0);
  EXPECT_EQ(files.Getcwd(), Text("C:\\ソフト"));
  EXPECT_EQ(files.ToWindowsPath(drive.folder.path() / "ソフト" / "表示.txt"),
            Text("C:\\ソフト\\表示.txt"));
}

TEST_F(PathResolution, RelativePathsFollowEachDrivesCurrentFolder) {
  TempFolder other;
  DriveTable table = testing::TempDriveTable(drive.folder.path());
  table.Map('d', fs::canonical(other.path()), DRIVE_REMOVABLE);
  PosixFileSystem two(table);
  other.Write("disk/info.txt", "i");

  EXPECT_EQ(two.Getdrive(), 3);
  EXPECT_EQ(two.Getcwd(), "C:\\");
  ASSERT_EQ(two.Chdir("c:\\prog"), 0);
  EXPECT_EQ(two.Getcwd(), "C:\\Prog") << "the folder as the host spells it";
  EXPECT_EQ(two.Resolve("Data.TXT"), Host("Prog\\Data.TXT"));
  EXPECT_EQ(two.Resolve("C:sub\\zai001-3.mst"), Host("Prog\\sub\\zai001-3.mst"));
  EXPECT_EQ(two.Resolve("\\Prog"), Host("Prog")) << "a leading separator is the drive's root";

  ASSERT_EQ(two.Chdir("D:\\disk"), 0);
  EXPECT_EQ(two.Getdrive(), 4) << "a drive letter in the path changes the drive";
  EXPECT_EQ(two.Resolve("info.txt"), fs::canonical(other.path()) / "disk" / "info.txt");
  EXPECT_EQ(two.Resolve("C:Data.TXT"), Host("Prog\\Data.TXT")) << "C: kept its own folder";

  EXPECT_EQ(two.Chdrive(3), 0);
  EXPECT_EQ(two.Getcwd(), "C:\\Prog");
  EXPECT_EQ(two.Chdrive(5), -1);
  EXPECT_EQ(two.Chdrive(0), -1);
  EXPECT_EQ(two.Getdrive(), 3);
  EXPECT_EQ(two.Chdir("C:\\Prog\\Data.TXT"), -1) << "not a folder";
  EXPECT_EQ(two.Chdir("C:\\Missing"), -1);
  EXPECT_EQ(two.Getcwd(), "C:\\Prog");
}

TEST_F(PathResolution, UnmappedDrivesAndDriveTypes) {
  EXPECT_EQ(files.Resolve("Q:\\file"), std::nullopt);
  EXPECT_EQ(files.Exists("Q:\\"), Presence::Absent);
  EXPECT_EQ(files.Chdir("Q:\\"), -1);
  EXPECT_EQ(files.GetDriveType("C:"), DRIVE_FIXED);
  EXPECT_EQ(files.GetDriveType("c:\\"), DRIVE_FIXED);
  EXPECT_EQ(files.GetDriveType("Q:\\"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(files.GetDriveType("C:\\Prog"), DRIVE_NO_ROOT_DIR);
  EXPECT_EQ(files.DriveLetters(), std::vector<char>{'C'});
}

TEST_F(PathResolution, MkdirMakesTheLastFolderOnly) {
  EXPECT_EQ(files.Mkdir("C:\\prog\\New"), 0);
  EXPECT_TRUE(fs::is_directory(Host("Prog\\New")));
  EXPECT_EQ(files.Mkdir("C:\\PROG\\NEW"), -1) << "exists in another case";
  EXPECT_EQ(files.Mkdir("C:\\Missing\\New"), -1);
  EXPECT_FALSE(fs::exists(Host("Missing")));
}

TEST(ReverseMapping, TheLongestDriveRootWins) {
  TempFolder temp;
  fs::create_directories(temp.path() / "c" / "Prog");
  fs::create_directories(temp.path() / "cd");
  const fs::path root = fs::canonical(temp.path());
  DriveTable table;
  table.Map('Z', "/", DRIVE_FIXED);
  table.Map('C', root / "c", DRIVE_FIXED);
  PosixFileSystem files(table);

  EXPECT_EQ(files.ToWindowsPath(root / "c" / "Prog"), "C:\\Prog");
  EXPECT_EQ(files.ToWindowsPath(root / "c"), "C:\\");
  EXPECT_EQ(files.ToWindowsPath(root / "c" / "Prog" / ".." / "x"), "C:\\x");
  std::string siblingOfC = "Z:";
  for (const auto& part : (root / "cd").relative_path()) siblingOfC += "\\" + part.string();
  EXPECT_EQ(files.ToWindowsPath(root / "cd"), siblingOfC) << "C:'s root is no prefix of cd";
  EXPECT_EQ(files.ToWindowsPath("/"), "Z:\\");

  PosixFileSystem onlyC(testing::TempDriveTable(root / "c"));
  EXPECT_EQ(onlyC.ToWindowsPath(root / "cd"), std::nullopt);
}

TEST(WindowsDirectory, TheGivenFolderOrTheHostTemporaryFolder) {
  TempFolder temp;
  fs::create_directories(temp.path() / "windows");
  DriveTable table = testing::TempDriveTable(temp.path());
  EXPECT_EQ(PosixFileSystem(table, temp.path() / "windows").GetWindowsDirectory(), "C:\\windows");

  table.Map('Z', "/", DRIVE_FIXED);
  const std::string fallback = PosixFileSystem(table).GetWindowsDirectory();
  const auto host = PosixFileSystem(table).Resolve(fallback);
  ASSERT_TRUE(host);
  EXPECT_EQ(*host, fs::canonical(fs::temp_directory_path()));
  EXPECT_EQ(access(host->c_str(), W_OK), 0);
}

TEST(ProgramDirectoryRule, FolderDriveRootAndLongPath) {
  TempDrive drive;
  const std::string longName(80, 'L');
  fs::create_directories(drive.Host("TOOLS\\UPD"));
  fs::create_directories(drive.Host(longName + "\\" + longName));
  EXPECT_EQ(ProgramDirectory(drive.files, drive.Host("TOOLS\\UPD")), "C:\\TOOLS\\UPD\\");
  EXPECT_EQ(ProgramDirectory(drive.files, drive.folder.path()), "C:");
  EXPECT_EQ(ProgramDirectory(drive.files, drive.Host(longName + "\\" + longName)),
            "C:\\" + longName + "\\" + longName + "\\");
  EXPECT_EQ(ProgramDirectory(drive.files, "/"), std::nullopt);
}

}  // namespace
}  // namespace tovrin
