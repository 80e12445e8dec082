// The key id the log names must read as minisign wrote it in the key file.

#include <gtest/gtest.h>

#include "engine/minisign.hpp"

namespace tovrin::testing {
namespace {

TEST(MinisignKeyId, ReadsAsMinisignWritesItInAKeyComment) {
  const struct {
    MinisignKeyId id;  // as stored: little-endian
    const char* text;
  } cases[] = {
      {{0x1C, 0xF6, 0x21, 0x69, 0x5C, 0x10, 0x3F, 0x07}, "73F105C6921F61C"},
      {{0x7A, 0xAF, 0x2E, 0xA6, 0xB8, 0xF0, 0xC6, 0x10}, "10C6F0B8A62EAF7A"},
      {{0x01, 0, 0, 0, 0, 0, 0, 0}, "1"},
      {{0, 0, 0, 0, 0, 0, 0, 0}, "0"},
  };
  for (const auto& c : cases) EXPECT_EQ(KeyIdText(c.id), c.text);
}

}  // namespace
}  // namespace tovrin::testing
