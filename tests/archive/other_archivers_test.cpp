// Archives as other archivers write them: folder entries liblhasa cannot
// read, Amiga file comments, level 0 extended areas, links without a
// target, and members larger than the library decodes.
#include <filesystem>

#include "platform/cp932.hpp"
#include "tests/archive/archive_test_support.hpp"

namespace tovrin {
namespace {

using testing::LzhEntry;

// Unix LHa's level 0 area after the CRC: 'U', 0, the time, mode, user, group.
std::string UnixArea(std::uint16_t mode) {
  std::string area{'U', '\0', '\x3b', '\x3d', '\x4b', '\x80'};
  area += {
      static_cast<char>(mode & 0xFF), static_cast<char>(mode >> 8), '\xe8', '\x03', '\xe8', '\x03'};
  return area;
}

// A folder with no name at all, as OSK LHa 2.01 (an OS-9 area) and Unix
// LHa 1.14i (a Unix area) write one at level 0.
LzhEntry NamelessFolder(std::string area) {
  LzhEntry folder{""};
  folder.method = "-lhd-";
  folder.level0Area = std::move(area);
  return folder;
}

// Amiga LhA 1.22: a folder is an empty "-lh0-" entry, its OS is 'A' and its
// folder field has no final separator.
LzhEntry Amiga(std::string name, std::string content = {}) {
  LzhEntry entry{std::move(name), std::move(content)};
  entry.folderMethod = "-lh0-";
  entry.os = 'A';
  entry.folderFieldEndsWithSeparator = false;
  return entry;
}

using OtherArchivers = testing::ArchiveDrive<>;

TEST_F(OtherArchivers, NamelessFolderEntriesAreSteppedOver) {
  const std::string os9Area("K\0\0\0\xd0\x20\x2c\x4c\xd0\x20\x2c\x4c\xbf\xff\0\0", 16);
  for (char letter : {'e', 'x'}) {
    SCOPED_TRACE(letter);
    std::filesystem::remove_all(Dest());
    std::filesystem::create_directories(Dest());
    const auto result = Extract(PutEntries({NamelessFolder(os9Area),
                                            NamelessFolder(UnixArea(040755)),
                                            {"hello.txt", "hello world\n"}},
                                           0),
                                letter);
    EXPECT_EQ(result.code, 0) << result.message;
    EXPECT_EQ(temp_.Read("dest/hello.txt"), "hello world\n");
  }
  // A nameless entry that stores data is a file with no name: never dropped unseen.
  LzhEntry nameless{"", "data"};
  const auto refused = Extract(PutEntries({{"a.txt", "a"}, nameless}, 0));
  EXPECT_EQ(refused.message, cp932::Text("書庫 C:\\medium\\DATA.lzh を読めません。"));
  // Past a stepped-over entry, the next header must begin right after it:
  // bytes in between are damage, not a self-extractor to hunt past.
  std::string damaged = testing::StoredLzh({NamelessFolder("")}, {0});
  damaged.back() = 'x';
  const auto resync = Extract(PutArchive(damaged + testing::StoredLzh({{"hello.txt", "hi"}}, {0})));
  EXPECT_EQ(resync.message, cp932::Text("書庫 C:\\medium\\DATA.lzh を読めません。"));
}

TEST_F(OtherArchivers, AmigaFolderEntriesAtLevels0And1) {
  const std::vector<LzhEntry> entries{Amiga("MainDir/"), Amiga("MainDir/00_File.txt", "zero"),
                                      Amiga("MainDir/02_EmptyDir/"),
                                      Amiga("MainDir/03_Dir/File01.txt", "one")};
  for (int level : {0, 1}) {
    SCOPED_TRACE(level);
    std::filesystem::remove_all(Dest());
    std::filesystem::create_directories(Dest());
    const std::string archive = PutEntries(entries, level);
    auto result = Extract(archive);
    ASSERT_EQ(result.code, 0) << result.message;
    EXPECT_EQ(AllFiles(),
              (std::set<std::string>{"medium/DATA.lzh", "dest/00_File.txt", "dest/File01.txt"}));
    result = Extract(archive, 'x');
    ASSERT_EQ(result.code, 0) << result.message;
    EXPECT_EQ(temp_.Read("dest/MainDir/03_Dir/File01.txt"), "one");
    EXPECT_TRUE(std::filesystem::is_directory(Dest() / "MainDir" / "02_EmptyDir"));
  }
}

TEST_F(OtherArchivers, AmigaCommentIsNoPartOfTheName) {
  const std::string commented = std::string("metadata.txt\0This is a comment on the file", 42);
  for (int level : {0, 1}) {
    SCOPED_TRACE(level);
    const auto result = Extract(PutEntries({Amiga(commented, "meta")}, level));
    EXPECT_EQ(result.code, 0) << result.message;
    EXPECT_EQ(temp_.Read("dest/metadata.txt"), "meta");
  }
}

TEST_F(OtherArchivers, OversizedLevel0HeaderAndLinksWithoutTarget) {
  LzhEntry oversized{"roomy.txt", "roomy"};
  oversized.level0Area = std::string(9, '\0');
  LzhEntry link{"link", ""};
  link.method = "-lhd-";
  link.unixMode = 0120777;
  LzhEntry level0Link = link;
  level0Link.level0Area = UnixArea(0120777);
  for (int level : {0, 1, 2}) {
    SCOPED_TRACE(level);
    std::filesystem::remove_all(Dest());
    std::filesystem::create_directories(Dest());
    const LzhEntry& linkHere = level == 0 ? level0Link : link;
    const auto result = Extract(PutEntries({level == 0 ? oversized : LzhEntry{"roomy.txt", "roomy"},
                                            linkHere,
                                            {"after.txt", "after"},
                                            linkHere},
                                           level));
    EXPECT_EQ(result.code, 0) << result.message;
    EXPECT_EQ(AllFiles(),
              (std::set<std::string>{"medium/DATA.lzh", "dest/roomy.txt", "dest/after.txt"}));
  }
}

TEST_F(OtherArchivers, MemberOver4GiBIsRefusedForWhatItIs) {
  LzhEntry huge{"huge.bin", "a stand-in for 5 GiB"};
  huge.declaredSize = std::uint64_t{5} << 30;
  const auto result = Run("t \"" + PutEntries({{"small.txt", "small"}, huge}) + "\"");
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message,
            cp932::Text("huge.bin は 4 GB を超えるため、このプログラムでは展開できません。"));
}

TEST_F(OtherArchivers, NulInAMessageShowsAndEndsNothing) {
  const auto result = Run("t \"C:\\medium\\a" + std::string(1, '\0') + "b\"");
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("書庫 C:\\medium\\a\\x00b.lzh が見つかりません。"));
}

}  // namespace
}  // namespace tovrin
