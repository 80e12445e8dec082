#pragma once
// Composes "BM" files byte by byte, so each test states the header fields
// it is about and gets everything else right.

#include <cstdint>
#include <string>
#include <vector>

namespace tovrin::testing {

struct BitmapFields {
  std::int32_t width = 1;
  std::int32_t height = 1;
  std::uint16_t bitCount = 24;
  std::uint32_t headerSize = 40;
  std::uint32_t compression = 0;
  std::uint32_t sizeImage = 0;
  std::uint32_t clrUsed = 0;
  std::vector<std::uint32_t> colours;  // 0x00RRGGBB, written as the colour table
  std::string pixels;                  // the pixel data as stored
  bool offBitsZero = false;            // leave bfOffBits 0 (pixels follow the table)
  std::uint32_t gapBeforePixels = 0;   // bytes between table and pixels
};

std::string BuildBitmapFile(const BitmapFields& fields);

// Pixel data of `rows` rows of `rowLength` bytes, each byte `value`.
std::string Rows(std::size_t rowLength, std::size_t rows, std::uint8_t value);

}  // namespace tovrin::testing
