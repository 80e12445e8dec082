#include "hosts/console/console_dialog_host.hpp"

#include <stdexcept>

#include "hosts/console/memory_dialog.hpp"
#include "hosts/console/terminal_text.hpp"
#include "platform/cp932.hpp"
#include "resources/dialog_templates.hpp"
#include "resources/messages.hpp"

namespace tovrin {

int ConsoleDialogHost::DoModal(DialogPage& page) {
  const DialogTemplate* pageTemplate = nullptr;
  try {
    pageTemplate = &LoadDialogTemplate(page.TemplateId());
  } catch (const std::invalid_argument&) {
    return -1;
  }
  MemoryDialog dialog(*pageTemplate);
  page.OnInitDialog(dialog);
  if (dialog.Result()) return *dialog.Result();
  if (queue_ != nullptr) queue_->Run();

  if (updateStarted_) {
    page.OnCancel(dialog);
    return dialog.Result().value_or(-1);
  }
  if (page.TemplateId() == IDD_CONFIRM) {
    out_ << TerminalLine(cp932::Text(texts::kConfirmDestinationLabel) +
                         dialog.GetDlgItemText(IDC_NOTES))
         << std::endl;
    updateStarted_ = true;
  }
  page.OnOK(dialog);
  return dialog.Result().value_or(-1);
}

}  // namespace tovrin
