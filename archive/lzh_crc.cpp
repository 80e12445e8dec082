#include "archive/lzh_crc.hpp"

#include <array>

namespace tovrin {
namespace {

constexpr std::array<std::uint16_t, 256> MakeTable() {
  std::array<std::uint16_t, 256> table{};
  for (unsigned byte = 0; byte < 256; ++byte) {
    unsigned crc = byte;
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xA001 : crc >> 1;
    table[byte] = static_cast<std::uint16_t>(crc);
  }
  return table;
}

constexpr std::array<std::uint16_t, 256> kTable = MakeTable();

}  // namespace

std::uint16_t UpdateLzhCrc(std::uint16_t crc, std::string_view bytes) {
  for (const char c : bytes) {
    crc = static_cast<std::uint16_t>(kTable[(crc ^ static_cast<unsigned char>(c)) & 0xFF] ^ (crc >> 8));
  }
  return crc;
}

}  // namespace tovrin
