// Extraction of real archives made by lha and by the stored-archive writer.
#include <locale.h>
#include <sys/stat.h>

#include <chrono>
#include <fstream>
#include <sstream>

#include "platform/cp932.hpp"
#include "tests/archive/archive_test_support.hpp"

namespace tovrin {
namespace {

using testing::LzhEntry;

std::string Fixture(const std::filesystem::path& relative) {
  std::ifstream in(testing::FixtureFolder() / "source" / relative, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

class FixtureArchive : public testing::ArchiveDrive<>,
                       public ::testing::WithParamInterface<std::string> {};

TEST_P(FixtureArchive, FlatExtractionIsByteExact) {
  const auto result = Extract(PutFixture(GetParam()));
  ASSERT_EQ(result.code, 0) << result.message;
  EXPECT_EQ(result.message, "");
  EXPECT_EQ(temp_.Read("dest/text.txt"), Fixture("text.txt"));
  EXPECT_EQ(temp_.Read("dest/inner.txt"), Fixture("sub/inner.txt"));
  EXPECT_EQ(temp_.Read("dest/ソフト表.txt"), Fixture("表示/ソフト表.txt"));
  EXPECT_EQ(AllFiles(), (std::set<std::string>{"medium/DATA.lzh", "dest/text.txt", "dest/inner.txt",
                                               "dest/ソフト表.txt"}));
}

TEST_P(FixtureArchive, FolderExtractionKeepsFolders) {
  const auto result = Extract(PutFixture(GetParam()), 'x');
  ASSERT_EQ(result.code, 0) << result.message;
  EXPECT_EQ(temp_.Read("dest/text.txt"), Fixture("text.txt"));
  EXPECT_EQ(temp_.Read("dest/sub/inner.txt"), Fixture("sub/inner.txt"));
  EXPECT_EQ(temp_.Read("dest/表示/ソフト表.txt"), Fixture("表示/ソフト表.txt"));
}

TEST_P(FixtureArchive, TestCommandPassesAndWritesNothing) {
  const auto result = Run("t \"" + PutFixture(GetParam()) + "\"");
  EXPECT_EQ(result.code, 0) << result.message;
  EXPECT_EQ(AllFiles(), std::set<std::string>{"medium/DATA.lzh"});
}

INSTANTIATE_TEST_SUITE_P(MethodsAndLevels, FixtureArchive,
                         ::testing::Values("lh0-level0.lzh", "lh0-level1.lzh", "lh0-level2.lzh",
                                           "lh5-level0.lzh", "lh5-level1.lzh", "lh5-level2.lzh",
                                           "lh6-level0.lzh", "lh6-level1.lzh", "lh6-level2.lzh",
                                           "lh7-level0.lzh", "lh7-level1.lzh", "lh7-level2.lzh"));

using Extraction = testing::ArchiveDrive<>;

TEST_F(Extraction, RestoresTheTimeStamp) {
  // Level 2 keeps a Unix time, so the check does not depend on the time zone.
  // The fixture's sources were stamped with that time before lha stored
  // them; a checkout does not keep the sources' own times.
  ASSERT_EQ(Extract(PutFixture("lh7-level2.lzh")).code, 0);
  FileStatus status;
  ASSERT_TRUE(files_.GetStatus("C:\\dest\\text.txt", status));
  EXPECT_EQ(status.modificationTime, testing::kLzhDefaultTime);

  LzhEntry entry{"late.txt", "x"};
  entry.time = 1262304000;  // 2010-01-01 00:00:00 UTC
  ASSERT_EQ(Extract(PutEntries({entry})).code, 0);
  ASSERT_TRUE(files_.GetStatus("C:\\dest\\late.txt", status));
  EXPECT_EQ(status.modificationTime, entry.time);
}

TEST_F(Extraction, ShiftJisNamesAtEveryHeaderLevel) {
  const std::string name = cp932::Text("表示\\ソフト表.txt");
  const std::string content = cp932::Text("ソフト表の中身");
  for (int level : {0, 1, 2}) {
    SCOPED_TRACE(level);
    std::filesystem::remove_all(Dest());
    std::filesystem::create_directories(Dest());
    const std::string archive = PutEntries({{name, content}, {cp932::Text("表"), "table"}}, level);
    ASSERT_EQ(Extract(archive).code, 0);
    EXPECT_EQ(temp_.Read("dest/ソフト表.txt"), content);
    EXPECT_EQ(temp_.Read("dest/表"), "table");
    const auto kept = Extract(archive, 'x');
    ASSERT_EQ(kept.code, 0) << kept.message;
    EXPECT_EQ(temp_.Read("dest/表示/ソフト表.txt"), content);
  }
}

TEST_F(Extraction, LeavesTheLocaleAsItWas) {
  const std::string global = setlocale(LC_CTYPE, nullptr);
  ASSERT_EQ(Extract(PutEntries({{cp932::Text("ソフト表.txt"), "x"}})).code, 0);
  EXPECT_EQ(uselocale(static_cast<locale_t>(nullptr)), LC_GLOBAL_LOCALE);
  EXPECT_EQ(setlocale(LC_CTYPE, nullptr), global);
}

TEST_F(Extraction, RestoresDosAttributes) {
  LzhEntry readOnly{"ro.txt", "read only"};
  readOnly.attribute = ATTR_READONLY | ATTR_ARCHIVE;
  for (int level : {0, 1, 2}) {
    SCOPED_TRACE(level);
    std::filesystem::remove_all(Dest());
    std::filesystem::create_directories(Dest());
    ASSERT_EQ(Extract(PutEntries({readOnly, {"plain.txt", "plain"}}, level)).code, 0);
    FileStatus status;
    ASSERT_TRUE(files_.GetStatus("C:\\dest\\ro.txt", status));
    EXPECT_NE(status.attribute & ATTR_READONLY, 0);
    struct stat host {};
    ASSERT_EQ(::stat((Dest() / "ro.txt").c_str(), &host), 0);
    EXPECT_EQ(host.st_mode & 0222, 0u);
    ASSERT_TRUE(files_.GetStatus("C:\\dest\\plain.txt", status));
    EXPECT_EQ(status.attribute & ATTR_READONLY, 0);
  }
}

TEST_F(Extraction, ReplacesOnlyOlderFilesWithoutTheReplaceSwitch) {
  const std::string archive = PutEntries({{"a.txt", "from archive"}});
  temp_.Write("dest/a.txt", "newer on disk");  // written now, after 2001
  EXPECT_EQ(Run("e -m \"" + archive + "\" C:\\dest\\").code, 0);
  EXPECT_EQ(temp_.Read("dest/a.txt"), "newer on disk");

  // Back to 1996, older than the member's 2001.
  std::filesystem::last_write_time(Dest() / "a.txt", std::filesystem::file_time_type::clock::now() -
                                                         std::chrono::hours(24 * 365 * 30));
  EXPECT_EQ(Run("e -m \"" + archive + "\" C:\\dest\\").code, 0);
  EXPECT_EQ(temp_.Read("dest/a.txt"), "from archive");

  temp_.Write("dest/a.txt", "newer on disk");
  EXPECT_EQ(Run("e -mc \"" + archive + "\" C:\\dest\\").code, 0);
  EXPECT_EQ(temp_.Read("dest/a.txt"), "from archive");
}

TEST_F(Extraction, FolderMembersAreMadeOnlyWhenFoldersAreKept) {
  const std::string archive = PutEntries({{"empty\\"}, {cp932::Text("表\\中\\")}, {"a.txt", "A"}});
  ASSERT_EQ(Extract(archive).code, 0);
  EXPECT_FALSE(std::filesystem::exists(Dest() / "empty"));
  ASSERT_EQ(Extract(archive, 'x').code, 0);
  EXPECT_TRUE(std::filesystem::is_directory(Dest() / "empty"));
  EXPECT_TRUE(std::filesystem::is_directory(Dest() / "表" / "中"));

  const auto result = Extract(PutEntries({{"..\\up\\"}}), 'x');
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("..\\up\\ は展開先の外を指しているため展開しません。"));
  EXPECT_FALSE(std::filesystem::exists(Root() / "up"));
}

TEST_F(Extraction, BaseFolderGivenAsDriveAndColon) {
  ASSERT_EQ(files_.Chdir("C:\\dest"), 0);
  ASSERT_EQ(Extract(PutEntries({{"a.txt", "A"}}), 'e', "C:").code, 0);
  EXPECT_EQ(temp_.Read("dest/a.txt"), "A");
}

TEST_F(Extraction, MissingArchive) {
  const auto result = Extract("C:\\medium\\NONE");
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("書庫 C:\\medium\\NONE.lzh が見つかりません。"));
}

TEST_F(Extraction, OpensExactlyTheArchiveNamed) {
  const std::string archive = PutEntries({{"a.txt", "A"}});  // C:\medium\DATA.lzh
  temp_.Write("medium/DATA.V2", "not an archive");
  std::filesystem::copy_file(Root() / "medium" / "DATA.lzh", Root() / "medium" / "DATA.V2.lzh");
  EXPECT_EQ(Extract(archive + ".V2").message,
            cp932::Text("書庫 C:\\medium\\DATA.V2 を読めません。"));
  ASSERT_EQ(Extract(archive + ".V2.lzh").code, 0);
  EXPECT_EQ(temp_.Read("dest/a.txt"), "A");
  EXPECT_EQ(Extract(archive + ".V3").message,
            cp932::Text("書庫 C:\\medium\\DATA.V3 が見つかりません。"));
}

TEST_F(Extraction, UnreadableArchive) {
  const auto result = Extract(PutArchive("this is no archive at all, just text"));
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("書庫 C:\\medium\\DATA.lzh を読めません。"));
  EXPECT_EQ(AllFiles(), std::set<std::string>{"medium/DATA.lzh"});
}

// Only a zero byte, or the file's end, where a header would begin ends the
// archive: a second header that is damaged or cut off is no end, though the
// first member was extracted.
TEST_F(Extraction, DamagedOrCutSecondHeaderFailsTheExtraction) {
  for (int level : {0, 1, 2}) {
    const std::string first = testing::StoredLzh({{"first.txt", "first"}}, {level});
    const std::string whole =
        testing::StoredLzh({{"first.txt", "first"}, {"second.txt", "second"}}, {level});
    const std::size_t second = first.size() - 1;  // where the end byte stood
    std::string damaged = whole;
    damaged[second + 2] = 'X';  // its method, "-lh0-", no longer one
    damaged[second + 3] = 'X';
    for (const std::string& archive : {damaged, whole.substr(0, second + 12)}) {
      SCOPED_TRACE(level);
      const auto result = Extract(PutArchive(archive));
      EXPECT_NE(result.code, 0);
      EXPECT_EQ(result.message, cp932::Text("書庫 C:\\medium\\DATA.lzh を読めません。"));
      EXPECT_FALSE(std::filesystem::exists(Dest() / "second.txt"));
    }
  }
}

TEST_F(Extraction, MessageIsCutOnACharacterBoundary) {
  // "書庫" is four bytes; three leave room for "書" only.
  EXPECT_EQ(Run("e \"C:\\medium\\NONE\" C:\\dest\\", 4).message, cp932::Text("書"));
  EXPECT_EQ(Run("e \"C:\\medium\\NONE\" C:\\dest\\", 5).message, cp932::Text("書庫"));
  EXPECT_EQ(Run("e \"C:\\medium\\NONE\" C:\\dest\\", 1).message, "");
}

TEST_F(Extraction, UnknownCommandFails) {
  const auto result = Run("d \"" + PutEntries({{"a.txt", "A"}}) + "\" C:\\dest\\");
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("d は対応していないコマンドです。"));
  EXPECT_EQ(AllFiles(), std::set<std::string>{"medium/DATA.lzh"});
}

TEST_F(Extraction, ReadOnlyMemberExtractedTwice) {
  LzhEntry readOnly{"ro.txt", "read only"};
  readOnly.attribute = ATTR_READONLY;
  const std::string archive = PutEntries({readOnly, {"after.txt", "after"}});
  for (int run : {1, 2}) {
    SCOPED_TRACE(run);
    const auto result = Extract(archive);
    ASSERT_EQ(result.code, 0) << result.message;
    EXPECT_EQ(temp_.Read("dest/ro.txt"), "read only");
    EXPECT_EQ(temp_.Read("dest/after.txt"), "after");
  }
  // A read-only file with other bytes is still not replaced.
  readOnly.content = "read only, version 2";
  const auto result = Extract(PutEntries({readOnly}));
  EXPECT_EQ(result.message, cp932::Text("ro.txt を書き込めません。"));
  EXPECT_EQ(temp_.Read("dest/ro.txt"), "read only");
}

TEST_F(Extraction, UnsupportedMethodIsNamed) {
  LzhEntry entry{"old.txt", "data"};
  entry.method = "-lh9-";
  const auto result = Extract(PutEntries({{"first.txt", "1"}, entry}));
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("old.txt の圧縮形式 -lh9- には対応していません。"));
  EXPECT_EQ(temp_.Read("dest/first.txt"), "1");
  EXPECT_FALSE(std::filesystem::exists(Dest() / "old.txt"));
}

}  // namespace
}  // namespace tovrin
