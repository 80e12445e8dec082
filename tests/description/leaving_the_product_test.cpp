// A description whose records or settings file would send a write out of
// the product folder is refused line by line, like any other bad line; one
// that stays inside, however it is spelled, is read as it stands.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "description/update_description.hpp"
#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

constexpr int kFirstRecordLine = 43;

std::string Description(const std::string& iniName, const std::vector<std::string>& records) {
  std::string text;
  for (int number = 1; number <= 42; ++number) text += (number == 19 ? iniName : "line") + "\r\n";
  for (const auto& record : records) text += record + "\r\n";
  return text;
}

class LeavingTheProductTest : public ::testing::Test {
 protected:
  UpdateDescription Read(const std::string& bytes) {
    drive_.WriteFile("info.txt", bytes);
    UpdateDescription description;
    EXPECT_EQ(ReadInfoFile(drive_.files, "C:\\info.txt", description), 1);
    return description;
  }

  testing::TempDrive drive_;
};

TEST_F(LeavingTheProductTest, TargetFoldersThatClimbOutAreBadLines) {
  for (const std::string target : {"..", "..\\", "..\\WINDOWS\\", "a\\..\\..\\b", "\\..\\x",
                                   "./../x", "sub\\\\..\\.\\..\\x", "\x95\x5c\\..\\..\\x"}) {
    SCOPED_TRACE(target);
    const auto description =
        Read(Description("velsor1.ini", {"1,1,START,\\", "1,0,A.DAT," + target}));
    EXPECT_EQ(description.m_nInvalidLine, kFirstRecordLine + 1);
  }
}

TEST_F(LeavingTheProductTest, TargetFoldersThatStayInsideAreKept) {
  // "表" ends in 0x5C: "表..\" is one folder, not a separator and "..".
  for (const std::string target : {"\\", ".\\", "HELP\\", "a\\..\\", "a\\b\\..\\..\\c\\",
                                   "\x95\x5c..\\..\\x", "...\\", "..a\\"}) {
    SCOPED_TRACE(target);
    const auto description = Read(Description("velsor1.ini", {"1,0,A.DAT," + target}));
    EXPECT_EQ(description.m_nInvalidLine, 0);
    ASSERT_EQ(description.m_nFileCount, 1);
    EXPECT_EQ(description.m_strSubDir[0], target);
  }
}

TEST_F(LeavingTheProductTest, SourcesFromOutsideTheMediumAreBadLinesAndOthersAreKept) {
  const std::vector<std::pair<std::string, bool>> sources = {{"..\\..\\SECRET\\SHADOW", false},
                                                             {"SUB\\..\\A.DAT", false},
                                                             {"SUB/../A.DAT", false},
                                                             {"C:\\SECRET", false},
                                                             {"C:SECRET", false},
                                                             {"\\SECRET", false},
                                                             {"/SECRET", false},
                                                             {"SUB\\A.DAT", true},
                                                             {"...DAT", true},
                                                             {"\x95\x5c..\\A.DAT", true}};
  for (const auto& [source, kept] : sources) {
    SCOPED_TRACE(source);
    const int expected = kept ? 0 : kFirstRecordLine;
    EXPECT_EQ(Read(Description("velsor1.ini", {"1,0," + source + ",DATA\\"})).m_nInvalidLine,
              expected);
  }
}

TEST_F(LeavingTheProductTest, AQuoteInTheSourceOrTargetIsABadLine) {
  for (const std::string record :
       {"1,1,A\",\\", "1,1,START,x\" \"C:\\WINDOWS\\", "1,0,\"A.DAT\",\\"}) {
    SCOPED_TRACE(record);
    EXPECT_EQ(Read(Description("velsor1.ini", {record})).m_nInvalidLine, kFirstRecordLine);
  }
}

TEST_F(LeavingTheProductTest, ASourceOrTargetThatIsNoCp932TextIsABadLine) {
  // A lead byte without its second byte took the command's closing quote.
  for (const std::string record :
       {"0,1,X\x83,x  C:\\WINDOWS\\", "1,0,A.DAT,sub\x83", "1,0,\x85\x40,\\"}) {
    SCOPED_TRACE(record);
    EXPECT_EQ(Read(Description("velsor1.ini", {record})).m_nInvalidLine, kFirstRecordLine);
  }
}

// Descriptions whose archive command, as the update run builds it, named a
// base folder outside the product.
TEST_F(LeavingTheProductTest, RecordsThatRedirectedTheArchiveCommandAreBadLines) {
  for (const std::string name : {"info-quote-in-target.txt", "info-lead-byte-takes-quote.txt"}) {
    SCOPED_TRACE(name);
    std::ifstream in(std::string(TOVRIN_SOURCE_DIR) + "/tests/data/fuzz/" + name, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    ASSERT_FALSE(bytes.str().empty());
    EXPECT_EQ(Read(bytes.str()).m_nInvalidLine, kFirstRecordLine);
  }
}

TEST_F(LeavingTheProductTest, SettingsFileOutsideTheProductMakesLine19Bad) {
  EXPECT_EQ(Read(Description("..\\velsor1.ini", {})).m_nInvalidLine, 19);
  EXPECT_EQ(Read(Description("a\\..\\..\\WINDOWS\\win.ini", {"1,0,A.DAT,\\"})).m_nInvalidLine, 19);
  EXPECT_EQ(Read(Description("a\\..\\velsor1.ini", {})).m_nInvalidLine, 0);
  EXPECT_EQ(Read(Description("NULL", {})).m_nInvalidLine, 0);
}

}  // namespace
}  // namespace tovrin
