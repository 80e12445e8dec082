#include "hosts/wx/dialog_host.hpp"

#include <stdexcept>

#include <wx/app.h>

#include "hosts/wx/page_dialog.hpp"
#include "resources/dialog_templates.hpp"

namespace tovrin::gui {

int WxDialogHost::DoModal(DialogPage& page) {
  const DialogTemplate* dialogTemplate = nullptr;
  try {
    dialogTemplate = &LoadDialogTemplate(page.TemplateId());
  } catch (const std::invalid_argument&) {
    return -1;  // DoModal's answer for a page that cannot be opened
  }
  wxWindow* owner = owner_ != nullptr ? owner_ : wxTheApp->GetTopWindow();
  PageDialog dialog(owner, *dialogTemplate, page, queue_);
  return dialog.Run();
}

}  // namespace tovrin::gui
