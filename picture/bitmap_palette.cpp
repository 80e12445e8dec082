#include <algorithm>

#include "picture/bitmap_file.hpp"
#include "picture/bitmap_header.hpp"

namespace tovrin {

BitmapPalette CreateBitmapPalette(std::span<const std::uint8_t> info) {
  const BitmapInfoHeader header = ParseInfoHeader(info);
  BitmapPalette palette;
  if (header.biClrUsed == 0) {
    palette.stockDefault = true;
    return palette;
  }
  // Never past the block, whatever the header claims.
  const std::size_t tableBytes = info.size() > header.biSize ? info.size() - header.biSize : 0;
  const std::size_t count =
      std::min<std::size_t>(static_cast<std::uint16_t>(header.biClrUsed), tableBytes / 4);
  const std::uint8_t* entry = info.data() + header.biSize;
  palette.entries.reserve(count);
  for (std::size_t i = 0; i < count; ++i, entry += 4) {
    const std::uint32_t blue = entry[0], green = entry[1], red = entry[2];
    palette.entries.push_back(red << 16 | green << 8 | blue);
  }
  return palette;
}

}  // namespace tovrin
