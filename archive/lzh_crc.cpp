#include "archive/lzh_crc.hpp"

#include <array>

namespace tovrin {
namespace {

constexpr std::size_t kSlices = 8;
using Tables = std::array<std::array<std::uint16_t, 256>, kSlices>;

// tables[k][b]: the CRC of byte b followed by k zero bytes, so that eight
// bytes are folded in with eight lookups that do not wait on each other.
constexpr Tables MakeTables() {
  Tables tables{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    unsigned crc = byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
    tables[0][byte] = static_cast<std::uint16_t>(crc);
  }
  for (std::size_t slice = 1; slice < kSlices; ++slice) {
    for (unsigned byte = 0; byte < 256; ++byte) {
      const std::uint16_t previous = tables[slice - 1][byte];
      tables[slice][byte] =
          static_cast<std::uint16_t>(tables[0][previous & 0xFF] ^ (previous >> 8));
    }
  }
  return tables;
}

constexpr Tables kTables = MakeTables();

std::uint16_t UpdateByteWise(std::uint16_t crc, const unsigned char* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    crc = static_cast<std::uint16_t>(kTables[0][(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8));
  }
  return crc;
}

}  // namespace

std::uint16_t UpdateLzhCrc(std::uint16_t crc, std::string_view bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  std::size_t count = bytes.size();
  for (; count >= kSlices; data += kSlices, count -= kSlices) {
    // The CRC meets the first two bytes; the rest enter the tables as they are.
    const unsigned first = (crc ^ data[0]) & 0xFF;
    const unsigned second = ((crc >> 8) ^ data[1]) & 0xFF;
    crc = static_cast<std::uint16_t>(
        kTables[7][first] ^ kTables[6][second] ^ kTables[5][data[2]] ^ kTables[4][data[3]] ^
        kTables[3][data[4]] ^ kTables[2][data[5]] ^ kTables[1][data[6]] ^ kTables[0][data[7]]);
  }
  return UpdateByteWise(crc, data, count);
}

}  // namespace tovrin
