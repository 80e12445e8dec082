#include "hosts/wx/template_font.hpp"

#include "hosts/wx/gui_text.hpp"

namespace tovrin::gui {

wxFont TemplateFont(const DialogTemplate& dialogTemplate) {
  return wxFont(wxFontInfo(dialogTemplate.fontPointSize).FaceName(ToWx(dialogTemplate.fontName)));
}

BaseUnits WindowBaseUnits(const wxWindow& window) {
  return {AverageCharWidth(
              window.GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz").x),
          window.GetCharHeight()};
}

}  // namespace tovrin::gui
