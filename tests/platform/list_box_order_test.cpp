// The order of a sorted list box: ASCII letters without regard to case,
// double-byte characters by their bytes.

#include <gtest/gtest.h>

#include "platform/list_box_order.hpp"

namespace tovrin {
namespace {

TEST(ListBoxOrder, AsciiLettersCompareWithoutCaseAndEqualEntriesKeepTheirOrder) {
  const std::vector<std::string> entries = {"[..]", "[data]", "[MST1]"};
  EXPECT_EQ(ListBoxInsertionIndex(entries, "[DATA]"), 2u);  // after the equal "[data]"
  EXPECT_EQ(ListBoxInsertionIndex(entries, "[bmp]"), 1u);
  EXPECT_EQ(ListBoxInsertionIndex(entries, "[zz]"), 3u);
}

TEST(ListBoxOrder, SecondBytesAreNeverFolded) {
  // 0x83 0x41 and 0x83 0x61 differ only in a second byte that looks like 'A'/'a'.
  const std::vector<std::string> entries = {"[\x83\x61]"};
  EXPECT_EQ(ListBoxInsertionIndex(entries, "[\x83\x41]"), 0u);
  EXPECT_TRUE(ListBoxSortsBefore("[\x83\x41]", "[\x83\x61]"));
}

}  // namespace
}  // namespace tovrin
