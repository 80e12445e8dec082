#pragma once
// A DLGTEMPLATE in memory, built from the program's template data, for
// DialogBoxIndirectParamW: the template's font and size, its controls in
// tab order with their ids, classes, texts, places and styles.

#include <cstdint>
#include <vector>

#include "platform/dialog_host.hpp"

namespace tovrin {

// The picture frame is made owner-drawn, so that the page paints into it.
inline constexpr int kPictureFrameId = 1007;

// DWORD-aligned words, as the dialog manager reads them.
std::vector<std::uint16_t> BuildMemoryDialogTemplate(const DialogTemplate& dialogTemplate);

}  // namespace tovrin
