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
