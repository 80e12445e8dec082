#pragma once
// Painting a picture of the update medium into a page's frame or the view.

#include <string>

#include "picture/remembered_picture.hpp"
#include "platform/dialog_host.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

// Paints g_strAppDir + `pictureName` stretched over the surface's client
// rectangle. A picture that cannot be loaded leaves the surface as it is.
void PaintMediumPicture(FileSystem& files, PaintSurface& surface, const std::string& pictureName);
// The same, painting the last picture read when the file cannot be read.
void PaintMediumPicture(RememberedPicture& picture, FileSystem& files, PaintSurface& surface,
                        const std::string& pictureName);

}  // namespace tovrin
