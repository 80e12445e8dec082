#include "picture/remembered_picture.hpp"

namespace tovrin {

int RememberedPicture::Draw(FileSystem& files, PaintSurface& surface, const Rect& rect,
                            const std::string& path, DWORD rop) {
  std::vector<std::uint8_t> block;
  std::uint16_t bitsOffset = 0;
  if (LoadBitmapFile(files, path, block, bitsOffset)) {
    path_ = path;
    block_ = std::move(block);
    bitsOffset_ = bitsOffset;
  } else if (path != path_ || block_.empty()) {
    return 0;
  }
  PaintLoadedBitmap(surface, rect, block_, bitsOffset_, rop);
  return 1;
}

}  // namespace tovrin
