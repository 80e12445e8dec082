#include "archive/lzh_crc.hpp"

#include <gtest/gtest.h>

#include <string>

namespace tovrin {
namespace {

// The CRC-16 one bit at a time, as the polynomial defines it.
std::uint16_t BitByBit(std::string_view bytes) {
  unsigned crc = 0;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
  }
  return static_cast<std::uint16_t>(crc);
}

TEST(LzhCrc, TheCheckValueOfTheArcCrc) { EXPECT_EQ(UpdateLzhCrc(0, "123456789"), 0xBB3D); }

// Every length and every split of a stream into two pieces, so that each
// byte position of the eight-byte steps and each tail length is met.
TEST(LzhCrc, SplitAnywhereItIsTheCrcOfTheWhole) {
  std::string bytes;
  for (int i = 0; i < 70; ++i) bytes += static_cast<char>(i * 37 + 11);
  const std::string_view all(bytes);
  for (std::size_t length = 0; length <= all.size(); ++length) {
    const std::uint16_t expected = BitByBit(all.substr(0, length));
    for (std::size_t split = 0; split <= length; ++split) {
      const std::uint16_t first = UpdateLzhCrc(0, all.substr(0, split));
      ASSERT_EQ(UpdateLzhCrc(first, all.substr(split, length - split)), expected)
          << "length " << length << ", split " << split;
    }
  }
}

}  // namespace
}  // namespace tovrin
