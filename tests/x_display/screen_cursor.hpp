#pragma once
// The cursor the screen shows, as the X server's XFixes extension tells it.
// Cursors here have no names (none is given without a theme's own loader)
// and the busy one is animated, so a cursor is known by its size and hot
// spot: the watch's is in its middle, the arrow's at its tip.

#include <string>

namespace tovrin::testing {

struct CursorLook {
  int width = 0, height = 0, hotX = 0, hotY = 0;
  bool operator==(const CursorLook&) const = default;
};

// All zero when the server cannot be asked.
CursorLook ScreenCursor();

// "24x24+11+11", for failure messages.
std::string Describe(const CursorLook& shape);

}  // namespace tovrin::testing
