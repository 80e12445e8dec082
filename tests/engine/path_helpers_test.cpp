// Finding the settings file under a folder text in each of its typed forms,
// the repaired folder text, target folders and the title replacement.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/path_helpers.hpp"
#include "engine/text_format.hpp"
#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

class LocateFileTest : public ::testing::Test {
 protected:
  // The lookup's result and the folder text it leaves.
  std::pair<int, std::string> Locate(std::string folder, const std::string& name = "velsor1.ini") {
    const int found = LocateFile(drive_.files, folder, name);
    return {found, folder};
  }

  testing::TempDrive drive_;
};

TEST_F(LocateFileTest, FolderWithOrWithoutItsBackslash) {
  drive_.WriteFile("PROG/velsor1.ini", "[SYSTEM]\r\n");
  EXPECT_EQ(Locate("C:\\PROG\\"), std::make_pair(1, std::string("C:\\PROG\\")));
  EXPECT_EQ(Locate("C:\\PROG"), std::make_pair(1, std::string("C:\\PROG\\")));
}

TEST_F(LocateFileTest, DriveRootAndBareDriveLetter) {
  drive_.WriteFile("velsor1.ini", "[SYSTEM]\r\n");
  EXPECT_EQ(Locate("C:\\"), std::make_pair(1, std::string("C:\\")));
  EXPECT_EQ(Locate("C"), std::make_pair(1, std::string("C:\\")));
}

TEST_F(LocateFileTest, FailedLookupsKeepWhatTheyAppended) {
  drive_.WriteFile("PROG/other.ini", "");
  // A missing folder: only ":\" is tried and stays.
  EXPECT_EQ(Locate("C:\\MISSING"), std::make_pair(0, std::string("C:\\MISSING:\\")));
  // A folder without the file gains "\" and then ":\".
  EXPECT_EQ(Locate("C:\\PROG"), std::make_pair(0, std::string("C:\\PROG\\:\\")));
}

TEST_F(LocateFileTest, FolderTextNamingAFile) {
  drive_.WriteFile("PROG/velsor1.ini", "");
  EXPECT_EQ(Locate("C:\\PROG\\velsor1.ini").first, 0);
}

TEST_F(LocateFileTest, SecondByteBackslashIsNoSeparator) {
  // "表" is 0x95 0x5C and "ソフト" begins 0x83 0x5C: the folder texts end or
  // continue with a byte that only looks like a backslash.
  const std::string table = "\x95\x5C";
  const std::string soft = "\x83\x5C\x83\x74\x83\x67";
  drive_.WriteFile(table + "\\velsor1.ini", "");
  drive_.WriteFile(soft + "\\tremick1.ini", "");
  EXPECT_EQ(Locate("C:\\" + table), std::make_pair(1, "C:\\" + table + "\\"));
  EXPECT_EQ(Locate("C:\\" + table + "\\"), std::make_pair(1, "C:\\" + table + "\\"));
  EXPECT_EQ(Locate("C:\\" + soft, "tremick1.ini"), std::make_pair(1, "C:\\" + soft + "\\"));
}

class CreateFolderTest : public ::testing::Test {
 protected:
  testing::TempDrive drive_;
};

TEST_F(CreateFolderTest, CreatesOnlyTheLastMissingFolder) {
  drive_.WriteFile("PROG/velsor1.ini", "");
  CreateFolderIfMissing(drive_.files, "C:\\PROG\\DATA");
  EXPECT_TRUE(std::filesystem::is_directory(drive_.Host("PROG\\DATA")));
  // Its parent is missing: nothing is made, and nothing is said.
  CreateFolderIfMissing(drive_.files, "C:\\PROG\\NEW\\DEEP");
  EXPECT_FALSE(std::filesystem::exists(drive_.Host("PROG\\NEW")));
}

TEST_F(CreateFolderTest, ExistingFileCountsAsPresent) {
  drive_.WriteFile("PROG/DATA", "keep");
  CreateFolderIfMissing(drive_.files, "C:\\PROG\\DATA");
  EXPECT_TRUE(std::filesystem::is_regular_file(drive_.Host("PROG\\DATA")));
  EXPECT_EQ(drive_.ReadFile("PROG/DATA"), "keep");
}

std::string Replaced(std::string text, std::string_view pattern, std::string_view replacement) {
  return ReplaceAll(text, pattern, replacement);
}

TEST(ReplaceAllTest, TailMovesBothWays) {
  EXPECT_EQ(Replaced("Ver 8.0S Pro", "8.0S", "9.10SP"), "Ver 9.10SP Pro");
  EXPECT_EQ(Replaced("Ver 8.0S Pro", "8.0S", "9"), "Ver 9 Pro");
  EXPECT_EQ(Replaced("Ver 8.0S Pro", "8.0S", "9.0A"), "Ver 9.0A Pro");
}

TEST(ReplaceAllTest, EveryOccurrenceOnce) {
  EXPECT_EQ(Replaced("no version here", "8.0S", "9.0A"), "no version here");
  EXPECT_EQ(Replaced("8.0S8.0S", "8.0S", "9.0A"), "9.0A9.0A");
  EXPECT_EQ(Replaced("a 8.0S b 8.0S", "8.0S", "8.0S-R2"), "a 8.0S-R2 b 8.0S-R2");
  EXPECT_EQ(Replaced("8.0S", "8.0S", ""), "");
}

TEST(ReplaceAllTest, EmptyPatternChangesNothing) { EXPECT_EQ(Replaced("title", "", "x"), "title"); }

}  // namespace
}  // namespace tovrin
