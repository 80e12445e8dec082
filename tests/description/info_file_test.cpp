// Reading info.txt through the real file system: fixed lines, records, the
// blank and bad lines after line 42, text-mode line ends and read errors.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "description/update_description.hpp"
#include "platform/posix/file_system.hpp"
#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

// 42 fixed lines, each telling its own number, so that a shift shows.
std::vector<std::string> FixedLines() {
  std::vector<std::string> lines;
  for (int number = 1; number <= 42; ++number) lines.push_back("line" + std::to_string(number));
  return lines;
}

std::string Joined(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
  std::string text;
  for (const auto& line : lines) text += line + end;
  return text;
}

// The fixed lines, then the given record lines.
std::string InfoWithRecords(const std::vector<std::string>& records) {
  std::vector<std::string> lines = FixedLines();
  lines.insert(lines.end(), records.begin(), records.end());
  return Joined(lines);
}

class InfoFileTest : public ::testing::Test {
 protected:
  int Read(const std::string& bytes) {
    drive_.WriteFile("MEDIUM/info.txt", bytes);
    return ReadInfoFile(drive_.files, kInfoPath, description_);
  }

  static constexpr const char* kInfoPath = "C:\\MEDIUM\\info.txt";
  testing::TempDrive drive_;
  UpdateDescription description_;
};

TEST_F(InfoFileTest, FixedLinesLandInTheirMembers) {
  ASSERT_EQ(Read(Joined(FixedLines())), 1);
  EXPECT_EQ(description_.m_strUninstallKey[0], "line1");
  EXPECT_EQ(description_.m_strUninstallKey[14], "line15");
  EXPECT_EQ(description_.m_strDestination, "line16");
  EXPECT_EQ(description_.m_strProductKind, "line17");
  EXPECT_EQ(description_.m_strMasterAdjust, "line18");
  EXPECT_EQ(description_.m_strIniName, "line19");
  EXPECT_EQ(description_.m_strTradeKind, "line20");
  EXPECT_EQ(description_.m_strVersion, "line21");
  EXPECT_EQ(description_.m_strViewPicture, "line22");
  EXPECT_EQ(description_.m_strNoticePicture, "line23");
  EXPECT_EQ(description_.m_strDestPicture, "line24");
  EXPECT_EQ(description_.m_strConfirmPicture, "line25");
  EXPECT_EQ(description_.m_strNoticeNotes, "line26");
  EXPECT_EQ(description_.m_strDestNotes, "line27");
  EXPECT_EQ(description_.m_strTitleKey[0], "line28");
  EXPECT_EQ(description_.m_strTitleKey[14], "line42");
  // Exactly 42 lines hold no record.
  EXPECT_EQ(description_.m_nFileCount, 0);
  EXPECT_EQ(description_.m_nInvalidLine, 0);
}

TEST_F(InfoFileTest, JapaneseNotesGetTheirLineBreaks) {
  std::vector<std::string> lines = FixedLines();
  // "更新内容" TAB x "注意" in CP932; the byte after the TAB is overwritten.
  const std::string update = "\x8D\x58\x90\x56\x93\xE0\x97\x65";
  const std::string caution = "\x92\x8D\x88\xD3";
  lines[25] = update + "\tx" + caution;
  lines[26] = caution + "\t\t" + update + "\t";
  // Only the notes lines are converted.
  lines[27] = "title\tkey";
  ASSERT_EQ(Read(Joined(lines)), 1);
  EXPECT_EQ(description_.m_strNoticeNotes, update + "\r\n" + caution);
  EXPECT_EQ(description_.m_strDestNotes, caution + "\r\n" + update + "\r\n");
  EXPECT_EQ(description_.m_strTitleKey[0], "title\tkey");
}

TEST_F(InfoFileTest, ShortFileLeavesTheRestEmpty) {
  ASSERT_EQ(Read("first\r\nsecond\r\n"), 1);
  EXPECT_EQ(description_.m_strUninstallKey[0], "first");
  EXPECT_EQ(description_.m_strUninstallKey[1], "second");
  EXPECT_EQ(description_.m_strUninstallKey[2], "");
  EXPECT_EQ(description_.m_strDestination, "");
  EXPECT_EQ(description_.m_strTitleKey[14], "");
  EXPECT_EQ(description_.m_nFileCount, 0);
  EXPECT_EQ(description_.m_nInvalidLine, 0);
}

TEST_F(InfoFileTest, LineEndsAndEndOfFileByte) {
  // LF alone ends a line too; a CR elsewhere stays in the line.
  std::vector<std::string> lines = FixedLines();
  lines[0] = "a\rb";
  std::string text = Joined(lines, "\n");
  text += "2,1,abc,x\n";
  // Everything after 0x1A is not part of the file.
  text +=
      "\x1A"
      "3,1,after,y\r\n";
  ASSERT_EQ(Read(text), 1);
  EXPECT_EQ(description_.m_strUninstallKey[0], "a\rb");
  EXPECT_EQ(description_.m_strTitleKey[14], "line42");
  ASSERT_EQ(description_.m_nFileCount, 1);
  EXPECT_EQ(description_.m_strSrcName[0], "ABC");
  EXPECT_EQ(description_.m_nInvalidLine, 0);
}

TEST_F(InfoFileTest, EndOfFileByteWithinTheFixedLines) {
  ASSERT_EQ(Read("first\r\nsec\x1Aond\r\nthird\r\n"), 1);
  EXPECT_EQ(description_.m_strUninstallKey[0], "first");
  EXPECT_EQ(description_.m_strUninstallKey[1], "sec");
  EXPECT_EQ(description_.m_strUninstallKey[2], "");
}

TEST_F(InfoFileTest, MissingFileReadsAsNothing) {
  description_.m_nFileCount = 7;
  EXPECT_EQ(ReadInfoFile(drive_.files, kInfoPath, description_), 0);
  EXPECT_EQ(description_.m_nFileCount, 0);
  EXPECT_EQ(description_.m_nInvalidLine, 0);
  EXPECT_EQ(description_.m_strUninstallKey[0], "");
  EXPECT_EQ(ReadInfoTitle(drive_.files, kInfoPath), "");
}

TEST_F(InfoFileTest, TitleIsTheFirstLine) {
  drive_.WriteFile("MEDIUM/info.txt", "\x8D\x58\x90\x56 title\r\nsecond\r\n");
  EXPECT_EQ(ReadInfoTitle(drive_.files, kInfoPath), "\x8D\x58\x90\x56 title");
  // A title of any length comes whole.
  const std::string longTitle(300, 'T');
  drive_.WriteFile("MEDIUM/info.txt", longTitle + "\n");
  EXPECT_EQ(ReadInfoTitle(drive_.files, kInfoPath), longTitle);
  drive_.WriteFile("MEDIUM/info.txt", "");
  EXPECT_EQ(ReadInfoTitle(drive_.files, kInfoPath), "");
}

class InfoRecordsTest : public InfoFileTest {};

TEST_F(InfoRecordsTest, FieldsAreConvertedAndTheRestDropped) {
  ASSERT_EQ(Read(InfoWithRecords({"2,1,abc,x", "1,0,a.ini,y,z"})), 1);
  ASSERT_EQ(description_.m_nFileCount, 2);
  EXPECT_EQ(description_.m_nDiskNo[0], 2);
  EXPECT_EQ(description_.m_nFileKind[0], 1);
  EXPECT_EQ(description_.m_strSrcName[0], "ABC");
  EXPECT_EQ(description_.m_strSubDir[0], "x");
  EXPECT_EQ(description_.m_nDiskNo[1], 1);
  EXPECT_EQ(description_.m_nFileKind[1], 0);
  EXPECT_EQ(description_.m_strSrcName[1], "A.INI");
  EXPECT_EQ(description_.m_strSubDir[1], "y");
  EXPECT_EQ(description_.m_nInvalidLine, 0);
}

TEST_F(InfoRecordsTest, LowerCaseStartBecomesStart) {
  ASSERT_EQ(Read(InfoWithRecords({"1,1,start,prog"})), 1);
  ASSERT_EQ(description_.m_nFileCount, 1);
  EXPECT_EQ(description_.m_strSrcName[0], "START");
  EXPECT_EQ(description_.m_nInvalidLine, 0);
}

TEST_F(InfoRecordsTest, UpperCasingLeavesSecondBytesAlone) {
  // "ヂ" is 0x83 0x61: its second byte is an 'a' that must stay.
  ASSERT_EQ(Read(InfoWithRecords({"1,0,\x83\x61"
                                  "b.txt,sub"})),
            1);
  ASSERT_EQ(description_.m_nFileCount, 1);
  EXPECT_EQ(description_.m_strSrcName[0],
            "\x83\x61"
            "B.TXT");
}

TEST_F(InfoRecordsTest, WhiteSpaceIsPartOfTheFields) {
  ASSERT_EQ(Read(InfoWithRecords({" 3 , 1 , abc , sub dir "})), 1);
  ASSERT_EQ(description_.m_nFileCount, 1);
  EXPECT_EQ(description_.m_nDiskNo[0], 3);
  EXPECT_EQ(description_.m_nFileKind[0], 1);
  EXPECT_EQ(description_.m_strSrcName[0], " ABC ");
  EXPECT_EQ(description_.m_strSubDir[0], " sub dir ");
}

TEST_F(InfoRecordsTest, LongFieldsAreHeldWhole) {
  const std::string name(40, 'n');
  const std::string folder = "DATA\\" + std::string(60, 'f');
  ASSERT_EQ(Read(InfoWithRecords({"1,0," + name + "," + folder})), 1);
  ASSERT_EQ(description_.m_nFileCount, 1);
  EXPECT_EQ(description_.m_strSrcName[0], std::string(40, 'N'));
  EXPECT_EQ(description_.m_strSubDir[0], folder);
}

TEST_F(InfoRecordsTest, BlankLinesAreNotRecords) {
  ASSERT_EQ(Read(InfoWithRecords({"1,1,one,a", "", "  \t", "2,1,two,b", "", ""})), 1);
  ASSERT_EQ(description_.m_nFileCount, 2);
  EXPECT_EQ(description_.m_strSrcName[0], "ONE");
  EXPECT_EQ(description_.m_strSrcName[1], "TWO");
  EXPECT_EQ(description_.m_nInvalidLine, 0);
}

TEST_F(InfoRecordsTest, BadRecordMakesTheDescriptionInvalid) {
  ASSERT_EQ(Read(InfoWithRecords({"1,1,one,a", "2,1,two", "3,,x,y", "4,1,four,d"})), 1);
  // The first offending line is reported; no field comes from the line before.
  EXPECT_EQ(description_.m_nInvalidLine, 44);
  ASSERT_EQ(description_.m_nFileCount, 2);
  EXPECT_EQ(description_.m_strSrcName[0], "ONE");
  EXPECT_EQ(description_.m_strSrcName[1], "FOUR");
  EXPECT_EQ(description_.m_strSubDir[1], "d");
}

TEST_F(InfoRecordsTest, AHundredRecordsFitAndOneMoreIsRefused) {
  std::vector<std::string> records;
  for (int i = 0; i < 100; ++i) records.push_back("1,0,f" + std::to_string(i) + ".dat,sub");
  ASSERT_EQ(Read(InfoWithRecords(records)), 1);
  EXPECT_EQ(description_.m_nFileCount, 100);
  EXPECT_EQ(description_.m_nInvalidLine, 0);
  EXPECT_EQ(description_.m_strSrcName[99], "F99.DAT");

  records.push_back("1,0,extra.dat,sub");
  records.push_back("");
  ASSERT_EQ(Read(InfoWithRecords(records)), 1);
  EXPECT_EQ(description_.m_nFileCount, 100);
  EXPECT_EQ(description_.m_nInvalidLine, 143);
  EXPECT_EQ(description_.m_strSrcName[99], "F99.DAT");
}

// A file system whose files break off with a read error after a number of
// bytes, as a failing floppy does.
class FailingReadFileSystem : public PosixFileSystem {
 public:
  FailingReadFileSystem(DriveTable drives, std::size_t goodBytes)
      : PosixFileSystem(std::move(drives)),
        goodBytes_(goodBytes) {}

 protected:
  std::unique_ptr<InputFile> MakeInputFile(int descriptor) override {
    return std::make_unique<FailingInput>(PosixFileSystem::MakeInputFile(descriptor), goodBytes_);
  }

 private:
  class FailingInput : public InputFile {
   public:
    FailingInput(std::unique_ptr<InputFile> file, std::size_t goodBytes)
        : file_(std::move(file)),
          left_(goodBytes) {}
    std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
      if (left_ == 0) return std::nullopt;
      const auto got = file_->Read(buffer, std::min(size, left_));
      if (got) left_ -= *got;
      return got;
    }

   private:
    std::unique_ptr<InputFile> file_;
    std::size_t left_;
  };

  std::size_t goodBytes_;
};

TEST_F(InfoRecordsTest, ReadErrorIsNotTakenAsTheEndOfTheFile) {
  const std::string text = InfoWithRecords({"1,1,one,a", "2,1,two,bbbb"});
  drive_.WriteFile("MEDIUM/info.txt", text);
  // The error strikes within the second record line (line 44), where what
  // came before it would still make a record.
  const std::size_t goodBytes = text.size() - 5;
  FailingReadFileSystem failing(testing::TempDriveTable(drive_.folder.path()), goodBytes);
  EXPECT_EQ(ReadInfoFile(failing, kInfoPath, description_), 0);
  EXPECT_EQ(description_.m_nInvalidLine, 44);
}

}  // namespace
}  // namespace tovrin
