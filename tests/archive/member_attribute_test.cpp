#include "archive/member_attribute.hpp"

#include <gtest/gtest.h>

#include "platform/windows_types.hpp"
#include "tests/support/lzh_writer.hpp"

namespace tovrin {
namespace {

using testing::LzhEntry;
using testing::StoredLzh;

std::optional<std::uint8_t> AttributeAtLevel(std::uint8_t attribute, int level) {
  LzhEntry entry{"sub\\file.txt", "content"};
  entry.attribute = attribute;
  return DosAttributeOfHeader(StoredLzh({entry}, {level}));
}

TEST(MemberAttribute, ReadsTheAttributeAtEveryHeaderLevel) {
  for (int level : {0, 1, 2}) {
    EXPECT_EQ(AttributeAtLevel(ATTR_READONLY | ATTR_HIDDEN | ATTR_ARCHIVE, level),
              ATTR_READONLY | ATTR_HIDDEN | ATTR_ARCHIVE)
        << "level " << level;
    EXPECT_EQ(AttributeAtLevel(ATTR_SYSTEM, level), ATTR_SYSTEM) << "level " << level;
    EXPECT_EQ(AttributeAtLevel(ATTR_ARCHIVE, level), ATTR_ARCHIVE) << "level " << level;
  }
}

TEST(MemberAttribute, KeepsOnlyFileBits) {
  EXPECT_EQ(AttributeAtLevel(ATTR_DIRECTORY | ATTR_VOLUME | ATTR_READONLY, 0), ATTR_READONLY);
}

TEST(MemberAttribute, RefusesHeadersItCannotWalk) {
  EXPECT_FALSE(DosAttributeOfHeader("").has_value());
  EXPECT_FALSE(DosAttributeOfHeader(std::string(20, '\0')).has_value());
  std::string header = StoredLzh({{"a.txt", "x"}}, {2});
  header[20] = 3;  // level 3 is not read here
  EXPECT_FALSE(DosAttributeOfHeader(header).has_value());
  // An extension chain cut short.
  EXPECT_FALSE(DosAttributeOfHeader(StoredLzh({{"a.txt", "x"}}, {2}).substr(0, 30)).has_value());
}

}  // namespace
}  // namespace tovrin
