// SHA256SUMS as sha256sum writes it on Linux and on Windows, and the lines
// of a hostile or broken disk, each refused with its line.

#include <gtest/gtest.h>

#include "description/sha256_manifest.hpp"

namespace tovrin::testing {
namespace {

const std::string kHash = "2cf24dba5fb0a30e26e83b2ac5b9e29e1b161e5c1fa7425e73043362938b9824";

TEST(Sha256Manifest, ListsWhatSha256sumWritesUnderTheNamesTheRunLooksFor) {
  struct Case {
    std::string text;
    std::string lookedFor;  // a name the run reads
    std::string listed;     // as the manifest gives it
    int sixthByte = 0xb0;   // of the hash
  };
  const std::vector<Case> cases = {
      {kHash + "  HELP.lzh\n", "help.LZH", "HELP.lzh"},
      {kHash + " *START1.lzh\r\n", "START1.LZH", "START1.lzh"},
      {kHash + "  ./bmp/VIEW.BMP\n", "BMP\\view.bmp", ".\\bmp\\VIEW.BMP"},
      {"\\" + kHash + "  sub\\\\A.TXT\n", "SUB/A.TXT", "sub\\A.TXT"},
      // "ソ" ends in the byte of '\': one character, no folder.
      {kHash + "  \x83\x5c.txt\n", "\x83\x5c.TXT", "\x83\x5c.txt"},
      {"\n" + kHash.substr(0, 10) + std::string("ABCDEF") + kHash.substr(16) + "  info.txt",
       "INFO.TXT", "info.txt", 0xab},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    const ManifestParse parse = ParseSha256Manifest(c.text);
    ASSERT_TRUE(parse.manifest) << parse.error;
    const auto key = ManifestKey(c.lookedFor);
    ASSERT_TRUE(key);
    const auto entry = parse.manifest->entries.find(*key);
    ASSERT_NE(entry, parse.manifest->entries.end());
    EXPECT_EQ(entry->second.name, c.listed);
    EXPECT_EQ(entry->second.hash[0], 0x2c);
    EXPECT_EQ(entry->second.hash[5], c.sixthByte);
    EXPECT_EQ(entry->second.hash[31], 0x24);
  }
}

TEST(Sha256Manifest, RefusesLinesThatLeaveTheDiskOrBreakTheBounds) {
  struct Case {
    std::string text;
    std::size_t line;
  };
  const std::vector<Case> cases = {
      {kHash + "  ..\\x\n", 1},
      {kHash + "  a/../../x\n", 1},
      {kHash + "  /etc/passwd\n", 1},
      {kHash + "  \\Windows\\x\n", 1},
      {kHash + "  C:\\x\n", 1},
      {kHash + "  C:x\n", 1},
      {kHash + "  ...\\x\n", 1},
      {kHash + "  . \n", 1},
      {kHash + "  a\n" + kHash + "  A\n", 2},
      {kHash + "  a\n" + kHash + "  ./a\n", 2},
      {kHash + " a\n", 1},
      {kHash.substr(1) + "g  a\n", 1},
      {kHash + "  \n", 1},
      {"\\" + kHash + "  a\\nb\n", 1},
      {kHash + "  " + std::string(kManifestMaxName + 1, 'n') + "\n", 1},
      {kHash + "  a\n" + std::string(kManifestMaxLine + 1, 'x') + "\n", 2},
      {kHash + "  a\x83\n", 1},
      // A lead byte before a byte no character ends in: ':' or '/'.
      {kHash + "  \x83:T.TXT\n", 1},
      {kHash + "  a\xe1/b\n", 1},
      {std::string(kManifestMaxBytes + 1, '\n'), 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text.substr(0, 100));
    const ManifestParse parse = ParseSha256Manifest(c.text);
    EXPECT_FALSE(parse.manifest);
    EXPECT_EQ(parse.line, c.line) << parse.error;
    EXPECT_FALSE(parse.error.empty());
  }
}

}  // namespace
}  // namespace tovrin::testing
