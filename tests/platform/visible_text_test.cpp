#include "platform/visible_text.hpp"

#include <gtest/gtest.h>

namespace tovrin {
namespace {

TEST(VisibleText, KeepsOrdinaryTextAndShowsEveryControlAsAnEscape) {
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"確認: C:\\VELSOR\\ﾍﾙﾌﾟ.TXT ~", "確認: C:\\VELSOR\\ﾍﾙﾌﾟ.TXT ~"},
      {"\x1b]2;pwned\a\x1b[2J.txt", "\\x1b]2;pwned\\x07\\x1b[2J.txt"},
      {std::string("a\0b", 3) + "\t\r\n\x7f", "a\\x00b\\x09\\x0d\\x0a\\x7f"},
      {"\xc2\x80 \xc2\x9b"
       "2J \xc2\x9f \xc2\xa0",
       "\\u0080 \\u009b2J \\u009f \xc2\xa0"},
      // Bytes that are no UTF-8: a lone C1 byte, a cut character, an overlong
      // ESC, a surrogate.
      {"\x9b"
       "2J \xe3\x81 \xc0\x9b \xed\xa0\x80",
       "\\x9b2J \\xe3\\x81 \\xc0\\x9b \\xed\\xa0\\x80"},
      {"\xf0\x9f\x98\x80\xf4\x90\x80\x80", "\xf0\x9f\x98\x80\\xf4\\x90\\x80\\x80"},
  };
  for (const auto& [text, shown] : cases) EXPECT_EQ(VisibleText(text), shown) << shown;
}

TEST(VisibleText, NulBoundForACStringShowsAsAnEscape) {
  EXPECT_EQ(WithVisibleNul(std::string("\x95\x5c\0\0\x1b.txt", 9)), "\x95\x5c\\x00\\x00\x1b.txt");
  EXPECT_EQ(WithVisibleNul("plain"), "plain");
}

}  // namespace
}  // namespace tovrin
