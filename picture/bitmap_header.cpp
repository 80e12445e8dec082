#include "picture/bitmap_header.hpp"

#include <cstdlib>

namespace tovrin {
namespace {

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

std::uint32_t DoubleWord(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::int32_t Long(std::span<const std::uint8_t> bytes, std::size_t at) {
  return static_cast<std::int32_t>(DoubleWord(bytes, at));
}

void PutWord(std::span<std::uint8_t> bytes, std::size_t at, std::uint16_t value) {
  bytes[at] = static_cast<std::uint8_t>(value);
  bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void PutDoubleWord(std::span<std::uint8_t> bytes, std::size_t at, std::uint32_t value) {
  for (std::size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace

BitmapFileHeader ParseFileHeader(std::span<const std::uint8_t, kFileHeaderSize> bytes) {
  return {Word(bytes, 0), DoubleWord(bytes, 2), DoubleWord(bytes, 10)};
}

BitmapInfoHeader ParseInfoHeader(std::span<const std::uint8_t> bytes) {
  BitmapInfoHeader header;
  header.biSize = DoubleWord(bytes, 0);
  header.biWidth = Long(bytes, 4);
  header.biHeight = Long(bytes, 8);
  header.biPlanes = Word(bytes, 12);
  header.biBitCount = Word(bytes, 14);
  header.biCompression = DoubleWord(bytes, 16);
  header.biSizeImage = DoubleWord(bytes, 20);
  header.biXPelsPerMeter = Long(bytes, 24);
  header.biYPelsPerMeter = Long(bytes, 28);
  header.biClrUsed = DoubleWord(bytes, 32);
  header.biClrImportant = DoubleWord(bytes, 36);
  return header;
}

void StoreInfoHeader(const BitmapInfoHeader& header, std::span<std::uint8_t> bytes) {
  PutDoubleWord(bytes, 0, header.biSize);
  PutDoubleWord(bytes, 4, static_cast<std::uint32_t>(header.biWidth));
  PutDoubleWord(bytes, 8, static_cast<std::uint32_t>(header.biHeight));
  PutWord(bytes, 12, header.biPlanes);
  PutWord(bytes, 14, header.biBitCount);
  PutDoubleWord(bytes, 16, header.biCompression);
  PutDoubleWord(bytes, 20, header.biSizeImage);
  PutDoubleWord(bytes, 24, static_cast<std::uint32_t>(header.biXPelsPerMeter));
  PutDoubleWord(bytes, 28, static_cast<std::uint32_t>(header.biYPelsPerMeter));
  PutDoubleWord(bytes, 32, header.biClrUsed);
  PutDoubleWord(bytes, 36, header.biClrImportant);
}

std::uint64_t RowLength(std::int32_t width, std::uint16_t bitCount) {
  const auto bits = static_cast<std::uint64_t>(bitCount) * static_cast<std::uint64_t>(width);
  return ((bits + 31) & ~std::uint64_t{31}) / 8;
}

std::uint32_t PictureHeight(const BitmapInfoHeader& header) {
  return static_cast<std::uint32_t>(std::llabs(header.biHeight));
}

bool IsTopDown(const BitmapInfoHeader& header) { return header.biHeight < 0; }

}  // namespace tovrin
