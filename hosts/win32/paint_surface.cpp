#include "hosts/win32/paint_surface.hpp"

#include <vector>

#include "platform/win32/windows_api.hpp"

namespace tovrin {

void Win32PaintSurface::StretchBitmap(const Rect& destination,
                                      const DeviceIndependentBitmap& bitmap, DWORD rop) {
  if (bitmap.bits == nullptr || bitmap.width <= 0 || bitmap.height <= 0) return;
  // The header, then the palette as RGBQUADs.
  std::vector<std::uint8_t> info(sizeof(BITMAPINFOHEADER) +
                                 bitmap.colours.size() * sizeof(RGBQUAD));
  auto* header = reinterpret_cast<BITMAPINFOHEADER*>(info.data());
  header->biSize = sizeof(BITMAPINFOHEADER);
  header->biWidth = bitmap.width;
  header->biHeight = bitmap.topDown ? -bitmap.height : bitmap.height;
  header->biPlanes = 1;
  header->biBitCount = static_cast<WORD>(bitmap.bitCount);
  header->biCompression = BI_RGB;
  header->biClrUsed = static_cast<::DWORD>(bitmap.colours.size());
  auto* palette = reinterpret_cast<RGBQUAD*>(info.data() + sizeof(BITMAPINFOHEADER));
  for (std::size_t i = 0; i < bitmap.colours.size(); ++i) {
    const std::uint32_t colour = bitmap.colours[i];
    palette[i] = {static_cast<BYTE>(colour & 0xFF), static_cast<BYTE>((colour >> 8) & 0xFF),
                  static_cast<BYTE>((colour >> 16) & 0xFF), 0};
  }
  StretchDIBits(static_cast<HDC>(deviceContext_), destination.left, destination.top,
                destination.right - destination.left, destination.bottom - destination.top, 0, 0,
                bitmap.width, bitmap.height, bitmap.bits,
                reinterpret_cast<BITMAPINFO*>(info.data()), DIB_RGB_COLORS, rop);
}

}  // namespace tovrin
