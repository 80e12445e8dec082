#include "tests/support/bitmap_builder.hpp"

namespace tovrin::testing {
namespace {

void Put(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

}  // namespace

std::string BuildBitmapFile(const BitmapFields& fields) {
  const std::uint32_t tableBytes = static_cast<std::uint32_t>(4 * fields.colours.size());
  const std::uint32_t offBits = 14 + fields.headerSize + tableBytes + fields.gapBeforePixels;
  std::string out = "BM";
  Put(out, offBits + static_cast<std::uint32_t>(fields.pixels.size()), 4);
  Put(out, 0, 4);
  Put(out, fields.offBitsZero ? 0 : offBits, 4);
  Put(out, fields.headerSize, 4);
  Put(out, static_cast<std::uint32_t>(fields.width), 4);
  Put(out, static_cast<std::uint32_t>(fields.height), 4);
  Put(out, 1, 2);
  Put(out, fields.bitCount, 2);
  Put(out, fields.compression, 4);
  Put(out, fields.sizeImage, 4);
  Put(out, 2835, 4);
  Put(out, 2835, 4);
  Put(out, fields.clrUsed, 4);
  Put(out, 0, 4);
  out.append(fields.headerSize - 40, '\x7F');                       // later header versions' fields
  for (std::uint32_t colour : fields.colours) Put(out, colour, 4);  // B G R 0
  out.append(fields.gapBeforePixels, '\x55');
  out += fields.pixels;
  return out;
}

std::string Rows(std::size_t rowLength, std::size_t rows, std::uint8_t value) {
  return std::string(rowLength * rows, static_cast<char>(value));
}

}  // namespace tovrin::testing
