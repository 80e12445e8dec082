#pragma once
// The two headers of a "BM" file, read from and written to their little-
// endian bytes, and the size rules that follow from them.

#include <cstdint>
#include <optional>
#include <span>

namespace tovrin {

inline constexpr std::size_t kFileHeaderSize = 14;
inline constexpr std::size_t kInfoHeaderSize = 40;
inline constexpr std::uint32_t kCoreHeaderSize = 12;
// BITMAPV5HEADER, the longest header Windows defines.
inline constexpr std::uint32_t kLongestInfoHeaderSize = 124;
inline constexpr std::uint32_t kBiRgb = 0;

struct BitmapFileHeader {
  std::uint16_t bfType = 0;
  std::uint32_t bfSize = 0;
  std::uint32_t bfOffBits = 0;
};

struct BitmapInfoHeader {
  std::uint32_t biSize = 0;
  std::int32_t biWidth = 0;
  std::int32_t biHeight = 0;
  std::uint16_t biPlanes = 0;
  std::uint16_t biBitCount = 0;
  std::uint32_t biCompression = 0;
  std::uint32_t biSizeImage = 0;
  std::int32_t biXPelsPerMeter = 0;
  std::int32_t biYPelsPerMeter = 0;
  std::uint32_t biClrUsed = 0;
  std::uint32_t biClrImportant = 0;
};

// "BM" read as a little-endian 16-bit value.
inline constexpr std::uint16_t kBitmapFileType = 0x4D42;

// Each parse needs at least the header's fixed size.
BitmapFileHeader ParseFileHeader(std::span<const std::uint8_t, kFileHeaderSize> bytes);
BitmapInfoHeader ParseInfoHeader(std::span<const std::uint8_t> bytes);
void StoreInfoHeader(const BitmapInfoHeader& header, std::span<std::uint8_t> bytes);

// Bytes of one pixel row: the row's bits rounded up to a multiple of 32.
std::uint64_t RowLength(std::int32_t width, std::uint16_t bitCount);
std::uint32_t PictureHeight(const BitmapInfoHeader& header);  // rows, whichever way stored
bool IsTopDown(const BitmapInfoHeader& header);

}  // namespace tovrin
