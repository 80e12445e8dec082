// The TAB-coded line breaks of the notes lines.
#include <gtest/gtest.h>

#include <string>

#include "description/update_description.hpp"

namespace tovrin {
namespace {

std::string Converted(std::string text) {
  ConvertTabsToLineBreaks(text);
  return text;
}

TEST(LineBreaksTest, TheByteAfterATabIsOverwritten) {
  EXPECT_EQ(Converted("A\t\tB"), "A\r\nB");
  EXPECT_EQ(Converted("A\txB"), "A\r\nB");
  EXPECT_EQ(Converted("A\t B\tCD"), "A\r\nB\r\nD");
  EXPECT_EQ(Converted("no breaks"), "no breaks");
  EXPECT_EQ(Converted(""), "");
}

TEST(LineBreaksTest, ATabAtTheVeryEndBecomesAWholeBreak) {
  EXPECT_EQ(Converted("end\t"), "end\r\n");
  EXPECT_EQ(Converted("\t"), "\r\n");
  EXPECT_EQ(Converted("A\txB\t"), "A\r\nB\r\n");
}

TEST(LineBreaksTest, OnlyAHundredBreaksAreConverted) {
  std::string text;
  for (int i = 0; i < 102; ++i) text += "\tz";
  std::string expected;
  for (int i = 0; i < 100; ++i) expected += "\r\n";
  EXPECT_EQ(Converted(text), expected + "\tz\tz");
}

}  // namespace
}  // namespace tovrin
