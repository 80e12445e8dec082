#pragma once
// The program's icon (resource 128): the About box and the main window.

#include <wx/icon.h>

namespace tovrin::gui {

const wxIcon& ProgramIcon();

}  // namespace tovrin::gui
