#include "archive/member_path.hpp"

#include <gtest/gtest.h>

#include "platform/cp932.hpp"

namespace tovrin {
namespace {

std::optional<std::string> Flat(std::string_view name) {
  const auto target = MemberTargetPath(name, false);
  if (!target) return std::nullopt;
  EXPECT_TRUE(target->folders.empty());
  return target->RelativePath();
}

std::optional<std::string> Kept(std::string_view name) {
  const auto target = MemberTargetPath(name, true);
  if (!target) return std::nullopt;
  return target->RelativePath();
}

TEST(MemberPath, FlatExtractionDropsTheFolders) {
  EXPECT_EQ(Flat("text.txt"), "text.txt");
  EXPECT_EQ(Flat("sub/inner.txt"), "inner.txt");
  EXPECT_EQ(Flat("a\\b/c.txt"), "c.txt");
  // Only the name counts: a hostile folder part is dropped with the rest.
  EXPECT_EQ(Flat("../../etc/passwd"), "passwd");
  EXPECT_EQ(Flat("/abs/name"), "name");
}

TEST(MemberPath, FlatExtractionRefusesNamesThatAreNoFile) {
  for (const char* name :
       {"", ".", "..", "sub/", "sub/.", "sub/..", "a\\..", "C:", "x/C:evil", "a:b"}) {
    EXPECT_FALSE(Flat(name).has_value()) << name;
  }
}

TEST(MemberPath, NamesAreSpelledAsWindowsCreatesThemOrRefused) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> names = {
      {"old.txt.", "old.txt"},    {"old.txt ", "old.txt"},
      {"old.txt. . ", "old.txt"}, {"dir. /old.txt", "dir\\old.txt"},
      {"\x95\x5c.", "\x95\x5c"},  {"a/..", std::nullopt},
      {"...", std::nullopt},      {"CON", std::nullopt},
      {"nul.txt", std::nullopt},  {"Aux.tar.gz", std::nullopt},
      {"com1", std::nullopt},     {"LPT9.DAT", std::nullopt},
      {"PRN .log", std::nullopt}, {"con/readme.txt", std::nullopt},
      {"COM0", "COM0"},           {"CONSOLE.TXT", "CONSOLE.TXT"},
      {"LPT10", "LPT10"},         {"nul_", "nul_"}};
  for (const auto& [name, created] : names) {
    EXPECT_EQ(Kept(name), created) << name;
  }
  EXPECT_EQ(Flat("sub/old.txt."), "old.txt");
  EXPECT_FALSE(Flat("sub/NUL").has_value());
}

TEST(MemberPath, FolderExtractionKeepsFoldersAndResolvesDots) {
  EXPECT_EQ(Kept("sub/inner.txt"), "sub\\inner.txt");
  EXPECT_EQ(Kept("a\\b/c.txt"), "a\\b\\c.txt");
  EXPECT_EQ(Kept("./a//b/./c.txt"), "a\\b\\c.txt");
  EXPECT_EQ(Kept("a/../c.txt"), "c.txt");
  const auto target = MemberTargetPath("a/b/c.txt", true);
  ASSERT_TRUE(target.has_value());
  EXPECT_EQ(target->folders, (std::vector<std::string>{"a", "b"}));
  EXPECT_EQ(target->name, "c.txt");
}

TEST(MemberPath, FolderExtractionRefusesEveryWayOut) {
  for (const char* name :
       {"../x", "..\\x", "a/../../x", "a/b/../../../x", "/etc/passwd", "\\x", "C:\\x", "C:x",
        "c:/x", "a/C:/x", "a/b:c", "", ".", "..", "a/", "a/..", "a/."}) {
    EXPECT_FALSE(Kept(name).has_value()) << name;
  }
}

TEST(MemberPath, SecondByte0x5CIsNoSeparator) {
  // 表 is 0x95 0x5C, ソ is 0x83 0x5C.
  const std::string folder = cp932::Text("表示");
  const std::string name = cp932::Text("ソフト表.txt");
  EXPECT_EQ(Flat(folder + "\\" + name), name);
  EXPECT_EQ(Kept(folder + "\\" + name), folder + "\\" + name);
  EXPECT_EQ(Flat(cp932::Text("表")), cp932::Text("表"));
  // "表.." is a plain name (its trailing dots dropped as Windows drops them);
  // a 0x5C after ".." is a separator.
  EXPECT_EQ(Kept(cp932::Text("表..") + "\\x"), cp932::Text("表") + "\\x");
  EXPECT_FALSE(Kept("..\\" + name).has_value());
  EXPECT_FALSE(Kept(folder + "\\..\\..\\" + name).has_value());
}

TEST(MemberPath, DisplayNameUsesBackslashes) {
  EXPECT_EQ(MemberDisplayName("a/b/c.txt"), "a\\b\\c.txt");
  const std::string name = cp932::Text("表示/ソフト表.txt");
  EXPECT_EQ(MemberDisplayName(name), cp932::Text("表示\\ソフト表.txt"));
}

}  // namespace
}  // namespace tovrin
