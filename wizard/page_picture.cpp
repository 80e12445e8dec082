#include "wizard/page_picture.hpp"

#include "picture/bitmap_file.hpp"
#include "platform/program_directory.hpp"

namespace tovrin {

void PaintMediumPicture(FileSystem& files, PaintSurface& surface, const std::string& pictureName) {
  // Joined with no separator: g_strAppDir ends in one, or is "A:" at a root.
  DrawBitmapFile(files, surface, surface.ClientRect(), g_strAppDir + pictureName, SRCCOPY);
}

void PaintMediumPicture(RememberedPicture& picture, FileSystem& files, PaintSurface& surface,
                        const std::string& pictureName) {
  picture.Draw(files, surface, surface.ClientRect(), g_strAppDir + pictureName, SRCCOPY);
}

}  // namespace tovrin
