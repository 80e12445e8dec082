#include <gtest/gtest.h>

#include "picture/rgb_pixels.hpp"

namespace tovrin {
namespace {

DeviceIndependentBitmap Bitmap(int width, int height, int bitCount, const std::string& bits,
                               std::vector<std::uint32_t> colours = {}) {
  DeviceIndependentBitmap bitmap;
  bitmap.width = width;
  bitmap.height = height;
  bitmap.bitCount = bitCount;
  bitmap.colours = std::move(colours);
  bitmap.bits = reinterpret_cast<const std::uint8_t*>(bits.data());
  bitmap.bitsSize = bits.size();
  return bitmap;
}

std::string Hex(const std::vector<std::uint8_t>& rgb) {
  std::string out;
  char piece[3];
  for (std::uint8_t byte : rgb) {
    std::snprintf(piece, sizeof piece, "%02x", byte);
    out += piece;
  }
  return out;
}

TEST(ExpandToRgb, IndexedPixelsTakeTheirColourFromTheTableHighBitsFirst) {
  const std::vector<std::uint32_t> table = {0x000000, 0xFFFFFF, 0xFF0000};
  EXPECT_EQ(Hex(ExpandToRgb(Bitmap(3, 1, 1, std::string("\xA0\0\0\0", 4), table))),
            "ffffff000000ffffff");
  EXPECT_EQ(Hex(ExpandToRgb(Bitmap(3, 1, 4, std::string("\x12\x00\0\0", 4), table))),
            "ffffffff0000000000");
  EXPECT_EQ(Hex(ExpandToRgb(Bitmap(2, 1, 8, std::string("\x02\x01\0\0", 4), table))),
            "ff0000ffffff");
}

TEST(ExpandToRgb, IndexPastTheColourTableIsBlack) {
  EXPECT_EQ(Hex(ExpandToRgb(Bitmap(2, 1, 8, std::string("\x00\xFE\0\0", 4), {0x123456}))),
            "123456000000");
}

TEST(ExpandToRgb, DirectColourPixels) {
  // 16 bits: 0x7C00 is full red in 5-5-5.
  EXPECT_EQ(Hex(ExpandToRgb(Bitmap(2, 1, 16, std::string("\x00\x7C\x1F\x00", 4)))), "ff00000000ff");
  EXPECT_EQ(Hex(ExpandToRgb(Bitmap(1, 1, 24, std::string("\x01\x02\x03\x00", 4)))), "030201");
  EXPECT_EQ(Hex(ExpandToRgb(Bitmap(1, 1, 32, std::string("\x01\x02\x03\x04", 4)))), "030201");
}

TEST(ExpandToRgb, RowsAreBottomUpUnlessMarkedTopDown) {
  const std::string bits("\x01\x01\x01\x00\x02\x02\x02\x00", 8);
  DeviceIndependentBitmap bitmap = Bitmap(1, 2, 24, bits);
  EXPECT_EQ(Hex(ExpandToRgb(bitmap)), "020202010101");
  bitmap.topDown = true;
  EXPECT_EQ(Hex(ExpandToRgb(bitmap)), "010101020202");
}

TEST(ExpandToRgb, BitsTooShortForEveryRowGiveNothing) {
  EXPECT_TRUE(ExpandToRgb(Bitmap(1, 2, 24, std::string(7, '\0'))).empty());
  EXPECT_TRUE(ExpandToRgb(Bitmap(1, 1, 3, std::string(4, '\0'))).empty());
  EXPECT_TRUE(ExpandToRgb(Bitmap(0, 1, 24, std::string(4, '\0'))).empty());
}

}  // namespace
}  // namespace tovrin
