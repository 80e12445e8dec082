#pragma once
// A PaintSurface over a wxWidgets device context: StretchDIBits as a scaled
// true-colour image.

#include <wx/dc.h>

#include "platform/dialog_host.hpp"

namespace tovrin::gui {

class DcPaintSurface : public PaintSurface {
 public:
  DcPaintSurface(wxDC& dc, const wxSize& clientSize) : dc_(dc), clientSize_(clientSize) {}
  Rect ClientRect() const override { return {0, 0, clientSize_.x, clientSize_.y}; }
  // Copies the picture (SRCCOPY) scaled to fill `destination`.
  void StretchBitmap(const Rect& destination, const DeviceIndependentBitmap& bitmap,
                     DWORD rop) override;

 private:
  wxDC& dc_;
  wxSize clientSize_;
};

}  // namespace tovrin::gui
