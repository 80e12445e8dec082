#include "picture/encoded_pixels.hpp"

#include <bit>

#include "picture/bitmap_header.hpp"

namespace tovrin {
namespace {

// Writes pixels into plain rows. Encoders (ImageMagick among them) encode
// a row's padding too: pixels there are dropped, as Windows drops them;
// anything past the padding or the last row is refused.
class RowWriter {
 public:
  RowWriter(std::int32_t width, std::uint32_t height, std::uint16_t bitCount)
      : width_(static_cast<std::uint32_t>(width)),
        height_(height),
        bitCount_(bitCount),
        rowLength_(RowLength(width, bitCount)),
        paddedWidth_(static_cast<std::uint32_t>(rowLength_ * 8 / bitCount)),
        rows_(rowLength_ * height, 0) {}

  bool Put(std::uint8_t index) {
    if (x_ >= paddedWidth_ || y_ >= height_) return false;
    if (x_ >= width_) {
      ++x_;
      return true;
    }
    std::uint8_t& byte = rows_[y_ * rowLength_ + (bitCount_ == 8 ? x_ : x_ / 2)];
    if (bitCount_ == 8) {
      byte = index;
    } else {
      byte |= static_cast<std::uint8_t>(x_ % 2 == 0 ? index << 4 : index & 0xF);
    }
    ++x_;
    return true;
  }
  void EndOfLine() { x_ = 0, ++y_; }
  bool Move(std::uint32_t dx, std::uint32_t dy) {
    x_ += dx, y_ += dy;
    return x_ <= paddedWidth_ && y_ < height_;
  }
  std::vector<std::uint8_t> Take() { return std::move(rows_); }

 private:
  std::uint32_t width_, height_;
  std::uint16_t bitCount_;
  std::uint64_t rowLength_;
  std::uint32_t paddedWidth_;
  std::vector<std::uint8_t> rows_;
  std::uint32_t x_ = 0, y_ = 0;
};

// The pixel indexes one data byte holds: one at 8 bits, two at 4.
std::uint8_t IndexAt(std::uint8_t byte, std::uint16_t bitCount, std::uint32_t nth) {
  if (bitCount == 8) return byte;
  return nth % 2 == 0 ? byte >> 4 : byte & 0xF;
}

std::uint8_t Channel(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  const auto bits = static_cast<unsigned>(std::popcount(mask));
  const std::uint64_t level = (value & mask) >> std::countr_zero(mask);
  const std::uint64_t top = (std::uint64_t{1} << bits) - 1;
  return static_cast<std::uint8_t>((level * 255 + top / 2) / top);
}

}  // namespace

std::optional<std::vector<std::uint8_t>> DecodeRunLength(std::span<const std::uint8_t> data,
                                                         std::int32_t width, std::uint32_t height,
                                                         std::uint16_t bitCount) {
  RowWriter rows(width, height, bitCount);
  const auto perByte = static_cast<std::uint32_t>(8 / bitCount);
  std::size_t at = 0;
  while (at + 2 <= data.size()) {
    const std::uint8_t count = data[at];
    const std::uint8_t code = data[at + 1];
    at += 2;
    if (count > 0) {
      for (std::uint32_t i = 0; i < count; ++i)
        if (!rows.Put(IndexAt(code, bitCount, i))) return std::nullopt;
      continue;
    }
    if (code == 0) {
      rows.EndOfLine();
    } else if (code == 1) {
      return rows.Take();
    } else if (code == 2) {
      if (at + 2 > data.size() || !rows.Move(data[at], data[at + 1])) return std::nullopt;
      at += 2;
    } else {
      // A literal run, padded to a whole number of 16-bit words.
      const std::size_t bytes = (code + perByte - 1) / perByte;
      if (at + bytes > data.size()) return std::nullopt;
      for (std::uint32_t i = 0; i < code; ++i)
        if (!rows.Put(IndexAt(data[at + i / perByte], bitCount, i))) return std::nullopt;
      at += bytes + bytes % 2;
    }
  }
  // Data that stops without its end code keeps what it drew.
  return rows.Take();
}

std::vector<std::uint8_t> ExpandBitFields(std::span<const std::uint8_t> pixels, std::int32_t width,
                                          std::uint32_t height, std::uint16_t bitCount,
                                          const ColourMasks& masks) {
  const std::uint64_t storedRow = RowLength(width, bitCount);
  const std::uint64_t plainRow = RowLength(width, 32);
  std::vector<std::uint8_t> rows(plainRow * height, 0);
  const std::size_t bytesPerPixel = bitCount / 8;
  for (std::uint64_t y = 0; y < height; ++y) {
    const std::uint8_t* in = pixels.data() + y * storedRow;
    std::uint8_t* out = rows.data() + y * plainRow;
    for (std::int32_t x = 0; x < width; ++x, in += bytesPerPixel, out += 4) {
      std::uint32_t value = 0;
      for (std::size_t b = 0; b < bytesPerPixel; ++b) value |= std::uint32_t{in[b]} << (8 * b);
      out[0] = Channel(value, masks.blue);
      out[1] = Channel(value, masks.green);
      out[2] = Channel(value, masks.red);
    }
  }
  return rows;
}

}  // namespace tovrin
