#include "tests/support/scripted_dialog_host.hpp"

#include <gtest/gtest.h>

#include <algorithm>

#include "resources/dialog_templates.hpp"

namespace tovrin::testing {

int PageDriver::IndexOf(int listId, const std::string& entry) {
  const auto entries = dialog_.ListEntries(listId);
  const auto found = std::find(entries.begin(), entries.end(), entry);
  if (found == entries.end()) {
    ADD_FAILURE() << "list " << listId << " has no entry " << entry;
    return -1;
  }
  return static_cast<int>(found - entries.begin());
}

void PageDriver::Select(int listId, const std::string& entry) {
  const int index = IndexOf(listId, entry);
  if (index < 0) return;
  dialog_.ListSetCurSel(listId, index);
  page_.OnCommand(dialog_, listId, LBN_SELCHANGE);
}

void PageDriver::DoubleClick(int listId, const std::string& entry) {
  const int index = IndexOf(listId, entry);
  if (index < 0) return;
  dialog_.ListSetCurSel(listId, index);
  page_.OnCommand(dialog_, listId, LBN_DBLCLK);
}

void PageDriver::Click(int buttonId) {
  if (buttonId == IDOK) {
    page_.OnOK(dialog_);
  } else if (buttonId == IDCANCEL) {
    page_.OnCancel(dialog_);
  } else {
    page_.OnCommand(dialog_, buttonId, BN_CLICKED);
  }
}

int ScriptedDialogHost::DoModal(DialogPage& page) {
  if (script_.empty()) {
    ADD_FAILURE() << "page " << page.TemplateId() << " opened beyond the script";
    return -1;
  }
  PageScript step = std::move(script_.front());
  script_.pop_front();
  if (!step) return -1;

  MemoryDialog dialog(LoadDialogTemplate(page.TemplateId()));
  page.OnInitDialog(dialog);
  PageVisit visit{page.TemplateId(), dialog.GetWindowText(), {}, 0};
  for (const DialogControl& control : dialog.Template().controls) {
    if (control.id != -1) visit.texts[control.id] = dialog.GetDlgItemText(control.id);
  }
  ++open_;
  if (queue_ != nullptr) queue_->Run();
  PageDriver driver(page, dialog);
  step(driver);
  --open_;
  if (!dialog.Result()) {
    ADD_FAILURE() << "the script left page " << page.TemplateId() << " open";
    dialog.EndDialog(IDCANCEL);
  }
  visit.result = *dialog.Result();
  visits_.push_back(visit);
  return visit.result;
}

std::vector<int> ScriptedDialogHost::OpenedTemplates() const {
  std::vector<int> ids;
  for (const PageVisit& visit : visits_) ids.push_back(visit.templateId);
  return ids;
}

PageScript Press(int buttonId) {
  return [buttonId](PageDriver& driver) { driver.Click(buttonId); };
}

}  // namespace tovrin::testing
