#include "platform/gui/wx_dialog_host.hpp"

#include <stdexcept>

#include "platform/gui/page_dialog.hpp"
#include "resources/dialog_templates.hpp"

namespace tovrin::gui {

int WxDialogHost::DoModal(DialogPage& page) {
  const DialogTemplate* dialogTemplate = nullptr;
  try {
    dialogTemplate = &LoadDialogTemplate(page.TemplateId());
  } catch (const std::invalid_argument&) {
    return -1;  // DoModal's answer for a page that cannot be opened
  }
  PageDialog dialog(nullptr, *dialogTemplate, page, queue_);
  return dialog.Run();
}

}  // namespace tovrin::gui
