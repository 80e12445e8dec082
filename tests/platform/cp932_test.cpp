#include "platform/cp932.hpp"

#include <gtest/gtest.h>

#include "platform/split_path.hpp"

namespace tovrin {
namespace {

using cp932::Text;

TEST(Cp932Conversion, RoundTripsJapaneseAndKeepsBackslashAsYenByte) {
  const std::string bytes = "\x83\x5C\x83\x74\x83\x67\\\x95\x5C\x8E\xA6";  // ソフト\表示
  EXPECT_EQ(cp932::ToUtf8(bytes), "ソフト\\表示");
  EXPECT_EQ(cp932::FromUtf8("ソフト\\表示"), bytes);
}

TEST(Cp932Conversion, RefusesWhatHasNoCounterpart) {
  EXPECT_EQ(cp932::ToUtf8("\x83"), std::nullopt) << "half a character";
  EXPECT_EQ(cp932::ToUtf8("ab\xA0\x80"), std::nullopt) << "undefined bytes";
  EXPECT_EQ(cp932::FromUtf8("\xF0\x9F\x98\x80"), std::nullopt) << "a character CP932 lacks";
  EXPECT_EQ(cp932::FromUtf8("\xC3"), std::nullopt) << "broken UTF-8";
}

TEST(Cp932Conversion, ConvertsLongTextsWhole) {
  std::string utf8;
  for (int i = 0; i < 5000; ++i) utf8 += "表示a";
  const auto bytes = cp932::FromUtf8(utf8);
  ASSERT_TRUE(bytes);
  EXPECT_EQ(bytes->size(), 5000u * 5);
  EXPECT_EQ(cp932::ToUtf8(*bytes), utf8);
}

TEST(Cp932Helpers, LeadBytesAreTheTwoShiftJisRanges) {
  EXPECT_TRUE(cp932::IsLeadByte(0x81));
  EXPECT_TRUE(cp932::IsLeadByte(0x9F));
  EXPECT_TRUE(cp932::IsLeadByte(0xE0));
  EXPECT_TRUE(cp932::IsLeadByte(0xFC));
  EXPECT_FALSE(cp932::IsLeadByte(0x80));
  EXPECT_FALSE(cp932::IsLeadByte(0xA0));  // half-width katakana
  EXPECT_FALSE(cp932::IsLeadByte(0xDF));
  EXPECT_FALSE(cp932::IsLeadByte('\\'));
}

TEST(Cp932Helpers, MakeUpperChangesOnlySingleByteLetters) {
  // ヂ and ッ have the second bytes 'a' and 'b'.
  std::string text = Text("aヂbッzａ");
  cp932::MakeUpper(text);
  EXPECT_EQ(text, Text("AヂBッZａ"));
}

TEST(Cp932Helpers, FindNeverMatchesFromASecondByte) {
  const std::string text = Text("ソフト\\表示");
  EXPECT_EQ(cp932::Find(text, "\\"), 6);  // not the second byte of ソ at 1
  EXPECT_EQ(cp932::Find(Text("ヂa"), "a"), 2);
  EXPECT_EQ(cp932::Find(Text("ヂ"), "a"), -1);
  EXPECT_EQ(cp932::Find("abcabc", "bc", 2), 4);
  EXPECT_EQ(cp932::Find("abc", "c", 9), -1);
  // A start inside a character moves on to the next character.
  EXPECT_EQ(cp932::Find(Text("表\\x"), "\\", 1), 2);
}

TEST(Cp932Helpers, CharacterBoundaryNeverCutsACharacter) {
  const std::string text = Text("a表示");  // 61 95 5C 8E A6
  EXPECT_EQ(cp932::CharacterBoundary(text, 1), 1u);
  EXPECT_EQ(cp932::CharacterBoundary(text, 2), 1u);
  EXPECT_EQ(cp932::CharacterBoundary(text, 3), 3u);
  EXPECT_EQ(cp932::CharacterBoundary(text, 4), 3u);
  EXPECT_EQ(cp932::CharacterBoundary(text, 99), 5u);
}

TEST(SplitPath, SplitsDriveFolderNameAndExtension) {
  const auto parts = SplitPath("C:\\TOOLS\\UPD\\tovrin.exe");
  EXPECT_EQ(parts.drive, "C:");
  EXPECT_EQ(parts.directory, "\\TOOLS\\UPD\\");
  EXPECT_EQ(parts.name, "tovrin");
  EXPECT_EQ(parts.extension, ".exe");
}

TEST(SplitPath, ASecondByte5CIsNeverASeparator) {
  const auto parts = SplitPath(Text("A:\\ソフト\\表.能"));
  EXPECT_EQ(parts.drive, "A:");
  EXPECT_EQ(parts.directory, Text("\\ソフト\\"));
  EXPECT_EQ(parts.name, Text("表"));
  EXPECT_EQ(parts.extension, Text(".能"));

  const auto bare = SplitPath(Text("表示"));
  EXPECT_EQ(bare.directory, "");
  EXPECT_EQ(bare.name, Text("表示"));
}

TEST(SplitPath, ShareRootsAndForwardSlashes) {
  const auto share = SplitPath("\\\\srv\\share\\");
  EXPECT_EQ(share.drive, "");
  EXPECT_EQ(share.directory, "\\\\srv\\share\\");
  EXPECT_EQ(share.name, "");

  const auto mixed = SplitPath("C:/dir.d/name");
  EXPECT_EQ(mixed.directory, "/dir.d/");
  EXPECT_EQ(mixed.name, "name");
  EXPECT_EQ(mixed.extension, "");
}

}  // namespace
}  // namespace tovrin
