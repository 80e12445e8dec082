#pragma once
// Pixel data stored other than as plain rows: run-length encoded (RLE8,
// RLE4) and 16- or 32-bit pixels with bit-field colour masks. Each becomes
// the plain rows the painter draws, bottom row first.

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tovrin {

inline constexpr std::uint32_t kBiRle8 = 1;
inline constexpr std::uint32_t kBiRle4 = 2;
inline constexpr std::uint32_t kBiBitFields = 3;

// Plain 8- or 4-bit rows of `width` × `height` from RLE data; pixels the
// data skips stay at index 0. Nothing when a run, a literal or a move would
// leave the picture, or the data ends inside a code.
std::optional<std::vector<std::uint8_t>> DecodeRunLength(std::span<const std::uint8_t> data,
                                                         std::int32_t width, std::uint32_t height,
                                                         std::uint16_t bitCount);

struct ColourMasks {
  std::uint32_t red = 0;
  std::uint32_t green = 0;
  std::uint32_t blue = 0;
};

// Plain 32-bit rows (blue, green, red, 0) from 16- or 32-bit rows whose
// channels lie where `masks` say; `pixels` holds every row.
std::vector<std::uint8_t> ExpandBitFields(std::span<const std::uint8_t> pixels, std::int32_t width,
                                          std::uint32_t height, std::uint16_t bitCount,
                                          const ColourMasks& masks);

}  // namespace tovrin
