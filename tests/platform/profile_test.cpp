#include "platform/profile.hpp"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/cp932.hpp"
#ifndef _WIN32
#include "platform/posix/file_system.hpp"
#endif
#include "tests/support/temp_drive.hpp"

namespace tovrin {
namespace {

using testing::TempDrive;
namespace fs = std::filesystem;

// The product's settings file, as products and editors leave it: comments,
// odd spacing, LF-only lines, duplicate sections and keys, quoted values, a
// key without '=', and no line end after the last line.
constexpr std::string_view kSettings =
    "; settings\r\n"
    "orphan=outside any section\r\n"
    "[SYSTEM]\r\n"
    "  VERSION =  8.0S \r\n"
    "TITLE=\"Edit 8.0S \"\n"
    "Quoted='single'\r\n"
    "Unmatched=\"half\r\n"
    "Formula=a=b\r\n"
    "Empty=  \r\n"
    ";Maker=2\r\n"
    "NoEquals\r\n"
    "version=second\r\n"
    "\r\n"
    "[ dir ]\t; master folders\r\n"
    "MASTER=C:\\MST\\\n"
    "\n"
    "[SYSTEM]\r\n"
    "MAKER=3\r\n"
    "[HISTORY]\r\n"
    "Last=1";

class Profile : public ::testing::Test {
 protected:
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& fallback = "<none>", DWORD size = 100,
                   const std::string& file = "C:\\settings.ini") {
    return GetProfileText(files_, section, key, fallback, size, file);
  }
  BOOL Write(const std::string& section, const std::string& key, const std::string& value,
             const std::string& file = "C:\\settings.ini") {
    return WritePrivateProfileStringA(files_, section, key, value, file);
  }
  std::string HostBytes(const std::string& name = "settings.ini") const {
    return folder_.Read(name);
  }

  TempDrive drive_;
  const testing::TempFolder& folder_ = drive_.folder;
  testing::TestFileSystem& files_ = drive_.files;
};

TEST_F(Profile, ReadsValuesWithTheWindowsRules) {
  folder_.Write("settings.ini", kSettings);

  EXPECT_EQ(Read("system", "Version"), "8.0S");      // blanks and case do not count
  EXPECT_EQ(Read("SYSTEM", "TITLE"), "Edit 8.0S ");  // one pair of quotes removed
  EXPECT_EQ(Read("SYSTEM", "Quoted"), "single");
  EXPECT_EQ(Read("SYSTEM", "Unmatched"), "\"half");  // quotes that do not pair stay
  EXPECT_EQ(Read("SYSTEM", "Formula"), "a=b");
  EXPECT_EQ(Read("SYSTEM", "Empty"), "");  // found, so not the default
  EXPECT_EQ(Read("DIR", "MASTER"), "C:\\MST\\");
  EXPECT_EQ(Read("HISTORY", "Last"), "1");  // no final line end
}

TEST_F(Profile, OnlyTheFirstMatchCountsAndNonKeysNeverMatch) {
  folder_.Write("settings.ini", kSettings);

  EXPECT_EQ(Read("SYSTEM", "MAKER"), "<none>");  // only in the second [SYSTEM]; comment not a key
  EXPECT_EQ(Read("SYSTEM", "NoEquals"), "<none>");
  EXPECT_EQ(Read("SYSTEM", "orphan"), "<none>");  // before any section
  EXPECT_EQ(Read("MISSING", "Version", "  keep leading  \t "), "  keep leading");
  EXPECT_EQ(GetProfileText(files_, "SYSTEM", "Version", "default ", 100, "C:\\absent.ini"),
            "default");
}

TEST_F(Profile, BufferHoldsAtMostSizeMinusOneBytesAndWholeCharacters) {
  const std::string reiwa = cp932::Text("令和");  // two double-byte characters
  folder_.Write("settings.ini", "[SYSTEM]\r\nGENGOU=" + reiwa + "\r\n");

  char buffer[8];
  std::memset(buffer, 'x', sizeof buffer);
  EXPECT_EQ(GetPrivateProfileStringA(files_, "SYSTEM", "GENGOU", "", buffer, 4, "C:\\settings.ini"),
            2u);
  EXPECT_EQ(std::string(buffer, 3), reiwa.substr(0, 2) + '\0');
  EXPECT_EQ(GetPrivateProfileStringA(files_, "SYSTEM", "GENGOU", "", buffer, 5, "C:\\settings.ini"),
            4u);
  EXPECT_EQ(std::string(buffer), reiwa);
  EXPECT_EQ(GetPrivateProfileStringA(files_, "SYSTEM", "GENGOU", "", buffer, 1, "C:\\settings.ini"),
            0u);
  EXPECT_EQ(buffer[0], '\0');
  EXPECT_EQ(Read("SYSTEM", "Absent", "abcdef", 4), "abc");  // the default is bounded the same way
}

TEST_F(Profile, WritesChangeOnlyTheLinesTheyMean) {
  folder_.Write("settings.ini", kSettings);
  std::string expected(kSettings);
  const auto replace = [&expected](std::string_view from, std::string_view to) {
    const auto at = expected.find(from);
    ASSERT_NE(at, std::string::npos) << from;
    expected.replace(at, from.size(), to);
  };

  // "Version" replaces the first "VERSION", keeping its spelling.
  ASSERT_TRUE(Write("SYSTEM", "Version", "8.1S"));
  replace("  VERSION =  8.0S \r\n", "VERSION=8.1S\r\n");
  EXPECT_EQ(HostBytes(), expected);

  // A new key goes after the last key line of the first [SYSTEM].
  ASSERT_TRUE(Write("system", "GENGOU", "R"));
  replace("version=second\r\n", "version=second\r\nGENGOU=R\r\n");
  EXPECT_EQ(HostBytes(), expected);

  // A key of the second [SYSTEM] only is not found there: it joins the first.
  ASSERT_TRUE(Write("SYSTEM", "MAKER", "1"));
  replace("GENGOU=R\r\n", "GENGOU=R\r\nMAKER=1\r\n");
  EXPECT_EQ(HostBytes(), expected);
  EXPECT_EQ(Read("SYSTEM", "MAKER"), "1");

  // An LF-only line that is replaced gets CR LF; its neighbours keep LF.
  ASSERT_TRUE(Write("DIR", "MASTER", "D:\\M\\"));
  replace("MASTER=C:\\MST\\\n", "MASTER=D:\\M\\\r\n");
  EXPECT_EQ(HostBytes(), expected);

  // The last line had no line end: it gets one before the new key.
  ASSERT_TRUE(Write("HISTORY", "Next", "2"));
  expected += "\r\nNext=2\r\n";
  EXPECT_EQ(HostBytes(), expected);

  ASSERT_TRUE(Write("NEW", "Key", "v"));
  expected += "[NEW]\r\nKey=v\r\n";
  EXPECT_EQ(HostBytes(), expected);
}

TEST_F(Profile, MissingFileIsCreatedAndAddingToAnUnterminatedLastLineEndsIt) {
  ASSERT_TRUE(Write("HISTORY", "A", "1", "C:\\dov3.ini"));
  EXPECT_EQ(HostBytes("dov3.ini"), "[HISTORY]\r\nA=1\r\n");

  folder_.Write("last.ini", "[SYSTEM]");
  ASSERT_TRUE(Write("SYSTEM", "TITLE", "", "C:\\last.ini"));
  EXPECT_EQ(HostBytes("last.ini"), "[SYSTEM]\r\nTITLE=\r\n");

  folder_.Write("other.ini", "[DIR]\nMASTER=X");
  ASSERT_TRUE(Write("SYSTEM", "V", "1", "C:\\other.ini"));
  EXPECT_EQ(HostBytes("other.ini"), "[DIR]\nMASTER=X\r\n[SYSTEM]\r\nV=1\r\n");
}

TEST_F(Profile, JapaneseKeysAndValuesRoundTripAsCp932) {
  folder_.Write("settings.ini", "[SYSTEM]\r\nTITLE=x\r\n");
  const std::string kind = cp932::Text("種別電気");
  const std::string reiwa = cp932::Text("令和");
  const std::string start = cp932::Text("抽出開始日ON");
  // ソ ends in 0x5C and 表 in 0x5C: a second byte is never a bracket or separator.
  const std::string section = cp932::Text("ソフト表");

  ASSERT_TRUE(Write("SYSTEM", kind, "1"));
  ASSERT_TRUE(Write("SYSTEM", "GENGOU", reiwa));
  ASSERT_TRUE(Write(section, start, reiwa));

  EXPECT_EQ(HostBytes(), "[SYSTEM]\r\nTITLE=x\r\n" + kind + "=1\r\nGENGOU=" + reiwa + "\r\n[" +
                             section + "]\r\n" + start + "=" + reiwa + "\r\n");
  EXPECT_EQ(Read("SYSTEM", kind), "1");
  EXPECT_EQ(Read("system", "gengou"), reiwa);
  EXPECT_EQ(Read(section, start), reiwa);
}

TEST_F(Profile, NamesFoldOnlyAsciiLettersNeverSecondBytes) {
  // "ア" is 0x83 0x41 and "ヂ" is 0x83 0x61: the second bytes are 'A' and 'a'.
  const std::string upper = cp932::Text("ア");
  const std::string lower = cp932::Text("ヂ");
  ASSERT_EQ(upper, "\x83\x41");
  ASSERT_EQ(lower, "\x83\x61");
  folder_.Write("settings.ini", "[S]\r\n" + upper + "=upper\r\n");

  EXPECT_EQ(Read("s", upper), "upper");
  EXPECT_EQ(Read("S", lower), "<none>");
}

#ifndef _WIN32
// Mode bits are the POSIX side's own.
TEST_F(Profile, RefusedWritesLeaveEverythingAsItWas) {
  folder_.Write("settings.ini", kSettings);
  const fs::path host = folder_.path() / "settings.ini";
  fs::permissions(host, fs::perms::owner_read | fs::perms::group_read);

  EXPECT_FALSE(Write("SYSTEM", "Version", "9.0"));
  EXPECT_EQ(HostBytes(), kSettings);
  EXPECT_EQ(fs::status(host).permissions(), fs::perms::owner_read | fs::perms::group_read);

  EXPECT_FALSE(Write("SYSTEM", "Version", "9.0", "C:\\missing\\settings.ini"));
  EXPECT_FALSE(fs::exists(folder_.path() / "missing"));

  // What would not read back as one entry is not written.
  fs::permissions(host, fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_FALSE(Write("SYSTEM", "Version", "9.0\r\nMAKER=1"));
  EXPECT_FALSE(Write("SYSTEM", "A=B", "1"));
  EXPECT_FALSE(Write("SYS]TEM", "A", "1"));
  EXPECT_FALSE(Write("SYSTEM", ";A", "1"));
  EXPECT_EQ(HostBytes(), kSettings);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1);
}

TEST_F(Profile, WriteKeepsThePermissionBits) {
  folder_.Write("settings.ini", "[SYSTEM]\r\nVersion=1\r\n");
  const fs::path host = folder_.path() / "settings.ini";
  const auto mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
  fs::permissions(host, mode);

  ASSERT_TRUE(Write("SYSTEM", "Version", "2"));
  EXPECT_EQ(HostBytes(), "[SYSTEM]\r\nVersion=2\r\n");
  EXPECT_EQ(fs::status(host).permissions(), mode);
}
#endif

TEST_F(Profile, FilesWithAByteOrderMarkAreReadButNeverWritten) {
  const std::string utf8 = "\xEF\xBB\xBF[SYSTEM]\r\nGENGOU=令和\r\n";
  std::string utf16 = "\xFF\xFE";
  for (const char16_t unit : std::u16string_view(u"[SYSTEM]\r\nGENGOU=令和\r\n")) {
    utf16.push_back(static_cast<char>(unit & 0xFF));
    utf16.push_back(static_cast<char>(unit >> 8));
  }
  folder_.Write("utf8.ini", utf8);
  folder_.Write("utf16.ini", utf16);

  EXPECT_EQ(Read("SYSTEM", "GENGOU", "", 100, "C:\\utf8.ini"), cp932::Text("令和"));
  EXPECT_EQ(Read("SYSTEM", "GENGOU", "", 100, "C:\\utf16.ini"), cp932::Text("令和"));
  EXPECT_FALSE(Write("SYSTEM", "GENGOU", "R", "C:\\utf8.ini"));
  EXPECT_FALSE(Write("SYSTEM", "GENGOU", "R", "C:\\utf16.ini"));
  EXPECT_EQ(HostBytes("utf8.ini"), utf8);
  EXPECT_EQ(HostBytes("utf16.ini"), utf16);
}

#ifndef _WIN32
// A replacement that cannot be put in place (as in a read-only folder, or a
// full disk at the rename) leaves the old file.
class RenameRefused : public PosixAtomicFile {
 public:
  using PosixAtomicFile::PosixAtomicFile;

 protected:
  bool RenameIntoPlace() override { return false; }
};

class FailingReplace : public PosixFileSystem {
 public:
  using PosixFileSystem::PosixFileSystem;

 protected:
  std::unique_ptr<AtomicFile> MakeAtomicFile(int descriptor, fs::path temporary,
                                             fs::path target) override {
    return std::make_unique<RenameRefused>(descriptor, std::move(temporary), std::move(target));
  }
};

TEST_F(Profile, FailedReplacementReportsFailureAndKeepsTheOldFile) {
  folder_.Write("settings.ini", kSettings);
  FailingReplace failing(testing::TempDriveTable(folder_.path()));

  EXPECT_EQ(WritePrivateProfileStringA(failing, "SYSTEM", "Version", "9.0", "C:\\settings.ini"), 0);
  EXPECT_EQ(HostBytes(), kSettings);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.path()), fs::directory_iterator()), 1);
}

#endif

TEST_F(Profile, BareFileNameLivesInTheWindowsDirectory) {
  fs::create_directory(folder_.path() / "WINDOWS");
  testing::TestFileSystem files(testing::TempDriveTable(folder_.path()),
                                fs::canonical(folder_.path() / "WINDOWS"));

  ASSERT_TRUE(WritePrivateProfileStringA(files, "HISTORY", "A", "1", "dov3.ini"));
  EXPECT_EQ(HostBytes("WINDOWS/dov3.ini"), "[HISTORY]\r\nA=1\r\n");
  EXPECT_EQ(GetProfileText(files, "HISTORY", "A", "", 100, "DOV3.INI"), "1");
  EXPECT_FALSE(fs::exists(folder_.path() / "dov3.ini"));
}

}  // namespace
}  // namespace tovrin
