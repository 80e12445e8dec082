#pragma once
// Painting a picture of the update medium into a page's frame or the view.

#include <string>

#include "picture/remembered_picture.hpp"
#include "platform/dialog_host.hpp"
#include "platform/platform.hpp"

namespace tovrin {

// Paints the medium's picture `pictureName` stretched over the surface's
// client rectangle. A picture that cannot be loaded leaves the surface as it is.
void PaintMediumPicture(const Platform& platform, PaintSurface& surface,
                        const std::string& pictureName);
// The same, painting the last picture read when the file cannot be read.
void PaintMediumPicture(RememberedPicture& picture, const Platform& platform, PaintSurface& surface,
                        const std::string& pictureName);

}  // namespace tovrin
