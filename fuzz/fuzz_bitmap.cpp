// The bitmap loader and painter on hostile files: every pixel the surface
// is handed lies inside what the loader read.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "fuzz/fuzz_drive.hpp"
#include "picture/bitmap_file.hpp"

namespace {

class CheckingSurface : public tovrin::PaintSurface {
 public:
  tovrin::Rect ClientRect() const override { return {0, 0, 64, 48}; }
  void StretchBitmap(const tovrin::Rect&, const tovrin::DeviceIndependentBitmap& bitmap,
                     tovrin::DWORD) override {
    if (bitmap.width < 0 || bitmap.height < 0) std::abort();
    const std::size_t stride = (static_cast<std::size_t>(bitmap.width) * bitmap.bitCount + 31) / 32 * 4;
    if (stride * static_cast<std::size_t>(bitmap.height) > bitmap.bitsSize) std::abort();
    // Touch every byte handed over, so the sanitizer sees a bad pointer.
    unsigned sum = 0;
    for (std::size_t i = 0; i < bitmap.bitsSize; ++i) sum += bitmap.bits[i];
    checksum_ += sum;
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
  if (LoadBitmapFile(files, "C:\\picture.bmp", block, bitsOffset) == 1 && bitsOffset > block.size()) {
    std::abort();
  }
  CheckingSurface surface;
  (void)DrawBitmapFile(files, surface, surface.ClientRect(), "C:\\picture.bmp", SRCCOPY);
  return 0;
}
