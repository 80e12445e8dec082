#pragma once
// The last picture a window read from the medium, painted again when its
// file cannot be read any more: after a disk prompt the first disk is out,
// and the window still shows what it showed.

#include <cstdint>
#include <string>
#include <vector>

#include "picture/bitmap_file.hpp"

namespace tovrin {

class RememberedPicture {
 public:
  // DrawBitmapFile, falling back on the last picture read from `path`.
  int Draw(FileSystem& files, PaintSurface& surface, const Rect& rect, const std::string& path,
           DWORD rop);

 private:
  std::string path_;
  std::vector<std::uint8_t> block_;
  std::uint16_t bitsOffset_ = 0;
};

}  // namespace tovrin
