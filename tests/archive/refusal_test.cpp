// What the library refuses: hostile names, links, devices, corrupt members,
// protected targets and members that do not fit; the old files stay whole.
#include <fstream>
#include <sstream>

#include "platform/cp932.hpp"
#include "tests/archive/archive_test_support.hpp"

namespace tovrin {
namespace {

using testing::LzhEntry;

std::string Outside(std::string_view display) {
  return std::string(display) + cp932::Text(" は展開先の外を指しているため展開しません。");
}

using Refusal = testing::ArchiveDrive<>;

TEST_F(Refusal, HostileNamesUnderFolderExtraction) {
  const std::vector<std::string> names{
      "..\\evil.txt",          "a\\..\\..\\evil.txt", "\\evil.txt",
      "C:\\evil.txt",          "C:evil.txt",          "..\\..\\medium\\DATA.lzh",
      "dest\\..\\..\\evil.txt"};
  for (int level : {0, 1, 2}) {
    for (const std::string& name : names) {
      SCOPED_TRACE(name + " at level " + std::to_string(level));
      std::filesystem::remove_all(Dest());
      std::filesystem::create_directories(Dest());
      const auto result = Extract(PutEntries({{"ok.txt", "fine"}, {name, "evil"}}, level), 'x');
      EXPECT_NE(result.code, 0);
      EXPECT_EQ(result.message, Outside(name));
      EXPECT_EQ(AllFiles(), (std::set<std::string>{"medium/DATA.lzh", "dest/ok.txt"}));
    }
  }
}

TEST_F(Refusal, SecondByteRuleDecidesWhatEscapes) {
  // "表..\x" stays inside; "..\ソ" climbs out (ソ ends in 0x5C too).
  // The dots that end a name are dropped as Windows drops them. The host
  // name is read back on the POSIX side only.
#ifndef _WIN32
  const std::string inside = cp932::Text("表..\\x.txt");
  ASSERT_EQ(Extract(PutEntries({{inside, "in"}}), 'x').code, 0);
  EXPECT_EQ(temp_.Read("dest/表/x.txt"), "in");
#endif

  const std::string outside = cp932::Text("..\\ソ");
  const auto result = Extract(PutEntries({{outside, "out"}}, 0), 'x');
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, Outside(outside));
  EXPECT_FALSE(std::filesystem::exists(Root() / "ソ"));
}

TEST_F(Refusal, NamesThatAreNoFileUnderFlatExtraction) {
  for (const std::string name : {".", "..", "sub\\..", "sub\\."}) {
    SCOPED_TRACE(name);
    const auto result = Extract(PutEntries({{"ok.txt", "fine"}, {name, "evil"}}, 0));
    EXPECT_NE(result.code, 0);
    EXPECT_EQ(result.message, Outside(name));
    EXPECT_EQ(AllFiles(), (std::set<std::string>{"medium/DATA.lzh", "dest/ok.txt"}));
  }
}

TEST_F(Refusal, NameThatIsNoShiftJis) {
  // 0x81 0x20 is no character: no file can have that name.
  const auto result = Extract(PutEntries({{"ok.txt", "fine"}, {"\x81\x20name", "bad"}}));
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, "\x81\x20name" + cp932::Text(" を書き込めません。"));
  EXPECT_EQ(AllFiles(), (std::set<std::string>{"medium/DATA.lzh", "dest/ok.txt"}));
}

TEST_F(Refusal, LinksAndDevicesAreSkipped) {
  LzhEntry link{"evil|../../outside", ""};
  link.unixMode = 0120777;
  LzhEntry device{"tty", "data"};
  device.unixMode = 0020644;
  for (int level : {1, 2}) {
    for (char letter : {'e', 'x'}) {
      SCOPED_TRACE(std::string(1, letter) + " at level " + std::to_string(level));
      std::filesystem::remove_all(Dest());
      std::filesystem::create_directories(Dest());
      const auto result = Extract(PutEntries({link, device, {"ok.txt", "fine"}}, level), letter);
      EXPECT_EQ(result.code, 0) << result.message;
      EXPECT_EQ(AllFiles(), (std::set<std::string>{"medium/DATA.lzh", "dest/ok.txt"}));
    }
  }
}

TEST_F(Refusal, CorruptStoredMemberLeavesTheOldFile) {
  temp_.Write("dest/bad.txt", "old content");
  LzhEntry bad{"bad.txt", "new content"};
  bad.crc = static_cast<std::uint16_t>(testing::LzhCrc16(bad.content) ^ 0x0101);
  for (int level : {0, 1, 2}) {
    SCOPED_TRACE(level);
    const auto result =
        Extract(PutEntries({{"good.txt", "good"}, bad, {"after.txt", "after"}}, level));
    EXPECT_NE(result.code, 0);
    EXPECT_EQ(result.message, cp932::Text("bad.txt が壊れています (CRC)。"));
    EXPECT_EQ(temp_.Read("dest/good.txt"), "good");  // members before it stay
    EXPECT_EQ(temp_.Read("dest/bad.txt"), "old content");
    EXPECT_EQ(AllFiles(),
              (std::set<std::string>{"medium/DATA.lzh", "dest/good.txt", "dest/bad.txt"}));
  }
}

TEST_F(Refusal, CorruptCompressedMember) {
  std::ifstream in(testing::FixtureFolder() / "lh7-level2.lzh", std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  std::string archive = bytes.str();
  archive[400] = static_cast<char>(archive[400] ^ 0x55);  // inside text.txt's data
  temp_.Write("dest/text.txt", "old text");
  const auto result = Extract(PutArchive(archive));
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("text.txt が壊れています (CRC)。"));
  EXPECT_EQ(temp_.Read("dest/text.txt"), "old text");
  EXPECT_EQ(AllFiles(), (std::set<std::string>{"medium/DATA.lzh", "dest/text.txt"}));
}

TEST_F(Refusal, TestCommandFindsTheCorruptMember) {
  LzhEntry bad{cp932::Text("表示\\壊れ.txt"), "data"};
  bad.crc = 0;
  const auto result = Run("t \"" + PutEntries({{"good.txt", "good"}, bad}) + "\"");
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("表示\\壊れ.txt が壊れています (CRC)。"));
  EXPECT_EQ(AllFiles(), std::set<std::string>{"medium/DATA.lzh"});
}

TEST_F(Refusal, ReadOnlyTargetIsNotReplaced) {
  temp_.Write("dest/ro.txt", "protected");
  std::filesystem::permissions(Dest() / "ro.txt", std::filesystem::perms::owner_read);
  const auto result = Extract(PutEntries({{"ro.txt", "replacement"}}));
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("ro.txt を書き込めません。"));
  EXPECT_EQ(temp_.Read("dest/ro.txt"), "protected");
}

TEST_F(Refusal, HiddenTargetIsNotReplaced) {
  temp_.Write("dest/hidden.txt", "hidden");
  FileStatus status;
  ASSERT_TRUE(files_.GetStatus("C:\\dest\\hidden.txt", status));
  status.attribute = ATTR_HIDDEN;
  if (!files_.SetStatus("C:\\dest\\hidden.txt", status) ||
      !files_.GetStatus("C:\\dest\\hidden.txt", status) || (status.attribute & ATTR_HIDDEN) == 0) {
    GTEST_SKIP() << "this file system keeps no hidden attribute";
  }
  const auto result = Extract(PutEntries({{"hidden.txt", "replacement"}}));
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("hidden.txt を書き込めません。"));
  EXPECT_EQ(temp_.Read("dest/hidden.txt"), "hidden");
}

TEST_F(Refusal, FolderInTheWayOfAFile) {
  std::filesystem::create_directories(Dest() / "name.txt");
  const auto result = Extract(PutEntries({{"name.txt", "file"}}));
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("name.txt を書き込めません。"));
  EXPECT_TRUE(std::filesystem::is_directory(Dest() / "name.txt"));
}

TEST_F(Refusal, MemberLargerThanTheFreeSpace) {
  LzhEntry huge{"huge.bin", "only a little"};
  huge.declaredSize = std::uint64_t{1} << 52;  // 4 PiB
  const auto result = Extract(PutEntries({{"small.txt", "small"}, huge}));
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("huge.bin を書き込めません。"));
  EXPECT_EQ(AllFiles(), (std::set<std::string>{"medium/DATA.lzh", "dest/small.txt"}));
}

// A disk that fills up after `limit` bytes of one file.
class FillingFile : public AtomicFile {
 public:
  FillingFile(std::unique_ptr<AtomicFile> file, std::size_t limit)
      : file_(std::move(file)),
        limit_(limit) {}
  bool Write(std::string_view bytes) override {
    if (written_ + bytes.size() > limit_) return false;
    written_ += bytes.size();
    return file_->Write(bytes);
  }
  bool Flush() override { return file_->Flush(); }
  bool Close() override { return file_->Close(); }
  bool Commit() override { return file_->Commit(); }

 private:
  std::unique_ptr<AtomicFile> file_;
  std::size_t limit_;
  std::size_t written_ = 0;
};

class FillingDisk : public testing::TestFileSystem {
 public:
  using testing::TestFileSystem::TestFileSystem;
  std::unique_ptr<AtomicFile> BeginReplace(std::string_view path) override {
    auto file = testing::TestFileSystem::BeginReplace(path);
    if (!file) return nullptr;
    return std::make_unique<FillingFile>(std::move(file), 4096);
  }
};

using FullDisk = testing::ArchiveDrive<FillingDisk>;

TEST_F(FullDisk, WriteFailureLeavesNoPartialFile) {
  temp_.Write("dest/text.txt", "old text");
  const auto result = Extract(PutFixture("lh5-level1.lzh"));  // text.txt is 9976 bytes
  EXPECT_NE(result.code, 0);
  EXPECT_EQ(result.message, cp932::Text("text.txt を書き込めません。"));
  EXPECT_EQ(temp_.Read("dest/text.txt"), "old text");
  EXPECT_EQ(AllFiles(), (std::set<std::string>{"medium/DATA.lzh", "dest/text.txt"}));
}

}  // namespace
}  // namespace tovrin
