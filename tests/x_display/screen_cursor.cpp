#include "tests/x_display/screen_cursor.hpp"

#include <X11/Xlib.h>
#include <X11/extensions/Xfixes.h>

namespace tovrin::testing {

CursorLook ScreenCursor() {
  CursorLook shape;
  Display* display = XOpenDisplay(nullptr);
  if (display == nullptr) return shape;
  if (XFixesCursorImage* image = XFixesGetCursorImage(display)) {
    shape = {image->width, image->height, image->xhot, image->yhot};
    XFree(image);
  }
  XCloseDisplay(display);
  return shape;
}

std::string Describe(const CursorLook& shape) {
  return std::to_string(shape.width) + "x" + std::to_string(shape.height) + "+" +
         std::to_string(shape.hotX) + "+" + std::to_string(shape.hotY);
}

}  // namespace tovrin::testing
