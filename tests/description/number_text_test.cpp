// Numbers read from the start of a text, as the record fields and the
// numeric lines are read.
#include <gtest/gtest.h>

#include <limits>

#include "description/number_text.hpp"

namespace tovrin {
namespace {

TEST(NumberTextTest, ReadsTheLeadingNumber) {
  EXPECT_EQ(AsciiToInt("12"), 12);
  EXPECT_EQ(AsciiToInt(" \t 7 apples"), 7);
  EXPECT_EQ(AsciiToInt("01"), 1);
  EXPECT_EQ(AsciiToInt("-5"), -5);
  EXPECT_EQ(AsciiToInt("+9x"), 9);
  EXPECT_EQ(AsciiToInt("3.5"), 3);
  EXPECT_EQ(AsciiToInt("x1"), 0);
  EXPECT_EQ(AsciiToInt("\x82\x50"), 0);  // a full-width digit is no digit
}

TEST(NumberTextTest, OutOfRangeStopsAtTheLimits) {
  EXPECT_EQ(AsciiToInt("2147483647"), std::numeric_limits<int>::max());
  EXPECT_EQ(AsciiToInt("2147483648"), std::numeric_limits<int>::max());
  EXPECT_EQ(AsciiToInt("99999999999999999999"), std::numeric_limits<int>::max());
  EXPECT_EQ(AsciiToInt("-2147483648"), std::numeric_limits<int>::min());
  EXPECT_EQ(AsciiToInt("-99999999999999999999"), std::numeric_limits<int>::min());
}

}  // namespace
}  // namespace tovrin
