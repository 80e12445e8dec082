#pragma once
// The CRC-16 of LZH member data (polynomial 0xA001, reflected), updated as
// the data streams; liblhasa keeps its own out of its public interface.

#include <cstdint>
#include <string_view>

namespace tovrin {

std::uint16_t UpdateLzhCrc(std::uint16_t crc, std::string_view bytes);

}  // namespace tovrin
