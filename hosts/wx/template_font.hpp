#pragma once
// The font a dialog template names, and the dialog base units it gives.

#include <wx/font.h>
#include <wx/window.h>

#include "platform/dialog_host.hpp"
#include "hosts/wx/dialog_units.hpp"

namespace tovrin::gui {

wxFont TemplateFont(const DialogTemplate& dialogTemplate);

// The base units of the window's own font (set it to the template's first).
BaseUnits WindowBaseUnits(const wxWindow& window);

}  // namespace tovrin::gui
