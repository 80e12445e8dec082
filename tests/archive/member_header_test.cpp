#include "archive/member_header.hpp"

#include <gtest/gtest.h>

#include "platform/cp932.hpp"
#include "platform/windows_types.hpp"
#include "tests/support/lzh_writer.hpp"

namespace tovrin {
namespace {

using testing::LzhEntry;
using testing::StoredLzh;

std::optional<StoredHeader> AtLevel(const LzhEntry& entry, int level) {
  return ReadStoredHeader(StoredLzh({entry}, {level}));
}

TEST(MemberHeader, NamesAndAttributesAsStoredAtEveryHeaderLevel) {
  // 表 and ソ end in 0x5C, which liblhasa would take for separators.
  const std::string name = cp932::Text("表\\ソフト表.txt");
  for (int level : {0, 1, 2}) {
    SCOPED_TRACE(level);
    LzhEntry entry{name, "content"};
    entry.attribute = ATTR_READONLY | ATTR_HIDDEN | ATTR_ARCHIVE;
    const auto header = AtLevel(entry, level);
    ASSERT_TRUE(header.has_value());
    EXPECT_EQ(header->name, name);
    EXPECT_EQ(header->attribute, ATTR_READONLY | ATTR_HIDDEN | ATTR_ARCHIVE);
    entry.attribute = ATTR_DIRECTORY | ATTR_VOLUME | ATTR_SYSTEM;
    EXPECT_EQ(AtLevel(entry, level)->attribute, ATTR_SYSTEM);
    // Names that climb out stay as they are, for the caller to refuse.
    EXPECT_EQ(AtLevel({"..\\..\\evil.txt", "x"}, level)->name, "..\\..\\evil.txt");
  }
  EXPECT_EQ(AtLevel({"DIR\\SUB\\"}, 2)->name, "DIR\\SUB\\");
  EXPECT_EQ(AtLevel({"README.TXT", "x"}, 2)->name, "README.TXT");
}

TEST(MemberHeader, NameEndsAtTheNulBeforeAComment) {
  // At level 0 the whole path is one field: what follows the NUL is no path.
  EXPECT_EQ(AtLevel({std::string("a.txt\0comment \\..\\x", 16), "x"}, 0)->name, "a.txt");
  for (int level : {1, 2})
    EXPECT_EQ(AtLevel({std::string("a.txt\0comment", 13), "x"}, level)->name, "a.txt");
}

TEST(MemberHeader, DatalessEntriesLiblhasaRefuses) {
  LzhEntry namelessFolder{""};
  namelessFolder.method = "-lhd-";
  LzhEntry amigaFolder{"Dir\\Sub\\"};
  amigaFolder.folderMethod = "-lh0-";
  amigaFolder.folderFieldEndsWithSeparator = false;
  LzhEntry link{"link"};
  link.method = "-lhd-";
  link.unixMode = 0120777;
  const struct {
    LzhEntry entry;
    int level;
    std::optional<std::string> folder;
  } cases[] = {
      {namelessFolder, 0, ""},
      {amigaFolder, 1, "Dir\\Sub\\"},
      {link, 1, ""},
      {link, 2, ""},
      {{"", "data"}, 0, std::nullopt},
      {{"file.txt"}, 1, std::nullopt},
      {{"Dir\\", "data"}, 1, std::nullopt},
  };
  for (const auto& [entry, level, folder] : cases) {
    SCOPED_TRACE(entry.name + " at level " + std::to_string(level));
    const std::string archive = StoredLzh({entry, {"next.txt", "next"}}, {level});
    const auto read = ReadDatalessEntry(archive);
    ASSERT_EQ(read.has_value(), folder.has_value());
    if (!read) continue;
    EXPECT_EQ(read->folder, *folder);
    EXPECT_EQ(archive.substr(read->headerLength, 2),
              StoredLzh({{"next.txt", "next"}}, {level}).substr(0, 2));
    // A header cut short or with a wrong checksum or CRC is not taken.
    EXPECT_FALSE(ReadDatalessEntry(archive.substr(0, read->headerLength - 1)).has_value());
    std::string damaged = archive;
    damaged[level == 2 ? 15 : 1] ^= 0x01;
    EXPECT_FALSE(ReadDatalessEntry(damaged).has_value());
  }
  // Data after a nameless header is data, whatever size it claims unpacked.
  std::string packed = StoredLzh({{"", "data"}}, {0});
  packed[11] = 0;
  packed[1] = static_cast<char>(packed[1] - 4);
  EXPECT_FALSE(ReadDatalessEntry(packed).has_value());
}

TEST(MemberHeader, RefusesHeadersItCannotWalk) {
  EXPECT_FALSE(ReadStoredHeader("").has_value());
  EXPECT_FALSE(ReadStoredHeader(std::string(20, '\0')).has_value());
  std::string header = StoredLzh({{"a.txt", "x"}}, {2});
  header[20] = 4;  // no such level
  EXPECT_FALSE(ReadStoredHeader(header).has_value());
  // An extension chain cut short.
  EXPECT_FALSE(ReadStoredHeader(StoredLzh({{"a.txt", "x"}}, {2}).substr(0, 30)).has_value());
}

}  // namespace
}  // namespace tovrin
