#include "wizard/page_picture.hpp"

#include "picture/bitmap_file.hpp"

namespace tovrin {

void PaintMediumPicture(const Platform& platform, PaintSurface& surface,
                        const std::string& pictureName) {
  // Joined with no separator: the folder ends in one, or is "A:" at a root.
  DrawBitmapFile(platform.files, surface, surface.ClientRect(), platform.mediumFolder + pictureName,
                 SRCCOPY);
}

void PaintMediumPicture(RememberedPicture& picture, const Platform& platform, PaintSurface& surface,
                        const std::string& pictureName) {
  picture.Draw(platform.files, surface, surface.ClientRect(), platform.mediumFolder + pictureName,
               SRCCOPY);
}

}  // namespace tovrin
