#include "hosts/wx/paint_surface.hpp"

#include <cstring>

#include <wx/bitmap.h>
#include <wx/image.h>

#include "picture/rgb_pixels.hpp"

namespace tovrin::gui {

void DcPaintSurface::StretchBitmap(const Rect& destination, const DeviceIndependentBitmap& bitmap,
                                   DWORD /*rop: every caller copies*/) {
  const int width = destination.right - destination.left;
  const int height = destination.bottom - destination.top;
  if (width <= 0 || height <= 0) return;
  const std::vector<std::uint8_t> rgb = ExpandToRgb(bitmap);
  if (rgb.empty()) return;

  wxImage image(bitmap.width, bitmap.height, false);
  std::memcpy(image.GetData(), rgb.data(), rgb.size());
  // Nearest neighbour, as StretchDIBits' default stretch mode keeps pixels.
  image.Rescale(width, height, wxIMAGE_QUALITY_NEAREST);
  dc_.DrawBitmap(wxBitmap(image), destination.left, destination.top);
}

}  // namespace tovrin::gui
