#pragma once
// The dialog host for tests: each page that opens is handed to the next
// step of a script, which looks at it and drives it as a user would (picks
// list entries, types, presses buttons). Every opening is recorded.

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "hosts/console/memory_dialog.hpp"
#include "platform/dialog_host.hpp"
#include "platform/message_queue.hpp"

namespace tovrin::testing {

// One open page as the script sees it.
class PageDriver {
 public:
  PageDriver(DialogPage& page, MemoryDialog& dialog) : page_(page), dialog_(dialog) {}

  int TemplateId() const { return page_.TemplateId(); }
  MemoryDialog& Dialog() { return dialog_; }
  std::string Text(int id) const { return dialog_.GetDlgItemText(id); }
  std::vector<std::string> Entries(int id) const { return dialog_.ListEntries(id); }

  // A click on a list entry (LBN_SELCHANGE); the entry must exist.
  void Select(int listId, const std::string& entry);
  void DoubleClick(int listId, const std::string& entry);
  void Type(int id, const std::string& text) { dialog_.SetDlgItemText(id, text); }
  // IDOK and IDCANCEL as their buttons, any other id as BN_CLICKED.
  void Click(int buttonId);
  void PressEsc() { page_.OnCancel(dialog_); }
  void Paint(PaintSurface& surface) { page_.OnPaint(dialog_, surface); }

 private:
  int IndexOf(int listId, const std::string& entry);

  DialogPage& page_;
  MemoryDialog& dialog_;
};

using PageScript = std::function<void(PageDriver&)>;

// What one opening of a page showed after OnInitDialog, and how it ended.
struct PageVisit {
  int templateId = 0;
  std::string title;
  std::map<int, std::string> texts;  // every control with an id
  int result = 0;
};

class ScriptedDialogHost : public DialogHost {
 public:
  // `queue`, when given, is dispatched while each page is open, as a modal
  // page's loop does.
  explicit ScriptedDialogHost(MessageQueue* queue = nullptr) : queue_(queue) {}

  void Then(PageScript step) { script_.push_back(std::move(step)); }
  // The next page fails to open (DoModal gives -1).
  void ThenFailToOpen() { script_.push_back(nullptr); }

  // A page beyond the script fails the test and does not open; a step that
  // leaves its page open fails the test too.
  int DoModal(DialogPage& page) override;

  const std::vector<PageVisit>& Visits() const { return visits_; }
  std::vector<int> OpenedTemplates() const;
  std::size_t UnusedSteps() const { return script_.size(); }
  // Pages open at this moment (at most one, since pages are modal).
  int PagesOpen() const { return open_; }

 private:
  MessageQueue* queue_;
  int open_ = 0;
  std::deque<PageScript> script_;
  std::vector<PageVisit> visits_;
};

// Presses one button at once: a step for a page the test only passes through.
PageScript Press(int buttonId);

}  // namespace tovrin::testing
