#pragma once
// A device-independent bitmap as plain RGB pixels, for surfaces that draw
// true-colour images (the wxWidgets host, screenshots).

#include <cstdint>
#include <vector>

#include "platform/dialog_host.hpp"

namespace tovrin {

// width × height × 3 bytes (red, green, blue), top row first. A pixel
// index past the colour table is black. Empty when the bitmap's bits do
// not hold every row or its bit count is unknown.
std::vector<std::uint8_t> ExpandToRgb(const DeviceIndependentBitmap& bitmap);

}  // namespace tovrin
