// The bitmap loader and painter on hostile files: every pixel the surface
// is handed lies inside what the loader read, and the RGB expansion the
// wxWidgets surface draws from gives every pixel of the picture.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_drive.hpp"
#include "picture/bitmap_file.hpp"
#include "picture/rgb_pixels.hpp"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

class CheckingSurface : public tovrin::PaintSurface {
 public:
  tovrin::Rect ClientRect() const override { return {0, 0, 64, 48}; }
  void StretchBitmap(const tovrin::Rect&, const tovrin::DeviceIndependentBitmap& bitmap,
                     tovrin::DWORD) override {
    if (bitmap.width <= 0 || bitmap.height <= 0) Fail("a picture without pixels was handed over");
    const std::size_t stride =
        (static_cast<std::size_t>(bitmap.width) * bitmap.bitCount + 31) / 32 * 4;
    if (stride * static_cast<std::size_t>(bitmap.height) > bitmap.bitsSize)
      Fail("fewer bits than rows");
    // Touch every byte handed over, so the sanitizer sees a bad pointer.
    unsigned sum = 0;
    for (std::size_t i = 0; i < bitmap.bitsSize; ++i) sum += bitmap.bits[i];
    checksum_ += sum;
    const auto rgb = tovrin::ExpandToRgb(bitmap);
    if (rgb.size() != static_cast<std::size_t>(bitmap.width) * bitmap.height * 3)
      Fail("pixels missing");
  }
  unsigned checksum_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  fuzz::Reset();
  fuzz::WriteHostFile("picture.bmp", {reinterpret_cast<const char*>(data), size});
  auto& files = fuzz::Drive().files;

  std::vector<std::uint8_t> block;
  std::uint16_t bitsOffset = 0;
  if (LoadBitmapFile(files, "C:\\picture.bmp", block, bitsOffset) == 1 &&
      bitsOffset > block.size()) {
    Fail("the bits lie past the block");
  }
  CheckingSurface surface;
  (void)DrawBitmapFile(files, surface, surface.ClientRect(), "C:\\picture.bmp", SRCCOPY);
  return 0;
}
