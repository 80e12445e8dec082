#pragma once
// A painting surface over a Win32 device context: pictures go to the screen
// with StretchDIBits, as the program drew them.

#include "platform/dialog_host.hpp"

namespace tovrin {

class Win32PaintSurface : public PaintSurface {
 public:
  // `deviceContext` is an HDC; `client` the area painted on.
  Win32PaintSurface(void* deviceContext, const Rect& client)
      : deviceContext_(deviceContext),
        client_(client) {}

  Rect ClientRect() const override { return client_; }
  void StretchBitmap(const Rect& destination, const DeviceIndependentBitmap& bitmap,
                     DWORD rop) override;

 private:
  void* deviceContext_;
  Rect client_;
};

}  // namespace tovrin
