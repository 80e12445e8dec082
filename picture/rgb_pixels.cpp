#include "picture/rgb_pixels.hpp"

#include "picture/bitmap_header.hpp"

namespace tovrin {
namespace {

std::uint32_t IndexedColour(const DeviceIndependentBitmap& bitmap, unsigned index) {
  return index < bitmap.colours.size() ? bitmap.colours[index] : 0;
}

// The pixel at column x of a row, as 0x00RRGGBB.
std::uint32_t PixelColour(const DeviceIndependentBitmap& bitmap, const std::uint8_t* row, int x) {
  switch (bitmap.bitCount) {
    case 1:
      return IndexedColour(bitmap, (row[x / 8] >> (7 - x % 8)) & 1u);
    case 4:
      return IndexedColour(bitmap, (row[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0xFu);
    case 8:
      return IndexedColour(bitmap, row[x]);
    case 16: {
      // 5-5-5, the only 16-bit layout without bit fields.
      const unsigned value = row[2 * x] | row[2 * x + 1] << 8;
      const auto scale = [](unsigned five) { return (five << 3) | (five >> 2); };
      return scale(value >> 10 & 31) << 16 | scale(value >> 5 & 31) << 8 | scale(value & 31);
    }
    case 24:
      return std::uint32_t{row[3 * x + 2]} << 16 | row[3 * x + 1] << 8 | row[3 * x];
    case 32:
      return std::uint32_t{row[4 * x + 2]} << 16 | row[4 * x + 1] << 8 | row[4 * x];
    default:
      return 0;
  }
}

bool IsKnownBitCount(int bitCount) {
  return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
         bitCount == 32;
}

}  // namespace

std::vector<std::uint8_t> ExpandToRgb(const DeviceIndependentBitmap& bitmap) {
  if (bitmap.width <= 0 || bitmap.height <= 0 || !IsKnownBitCount(bitmap.bitCount)) return {};
  const std::uint64_t rowLength =
      RowLength(bitmap.width, static_cast<std::uint16_t>(bitmap.bitCount));
  if (bitmap.bits == nullptr ||
      bitmap.bitsSize < rowLength * static_cast<std::uint64_t>(bitmap.height))
    return {};

  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(bitmap.width) * bitmap.height * 3);
  std::uint8_t* out = rgb.data();
  for (int y = 0; y < bitmap.height; ++y) {
    const int stored = bitmap.topDown ? y : bitmap.height - 1 - y;
    const std::uint8_t* row = bitmap.bits + rowLength * static_cast<std::uint64_t>(stored);
    for (int x = 0; x < bitmap.width; ++x) {
      const std::uint32_t colour = PixelColour(bitmap, row, x);
      *out++ = static_cast<std::uint8_t>(colour >> 16);
      *out++ = static_cast<std::uint8_t>(colour >> 8);
      *out++ = static_cast<std::uint8_t>(colour);
    }
  }
  return rgb;
}

}  // namespace tovrin
