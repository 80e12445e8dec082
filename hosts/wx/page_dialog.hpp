#pragma once
// One page of the wizard on screen: a wxDialog built from its template, each
// control at its place in dialog units of the template's font, running the
// page's logic as its message map would.

#include <map>
#include <optional>
#include <string>
#include <vector>

#include <wx/dialog.h>
#include <wx/timer.h>

#include "platform/dialog_host.hpp"
#include "hosts/wx/dialog_units.hpp"
#include "platform/message_queue.hpp"

class wxListBox;

namespace tovrin::gui {

class PageDialog : public wxDialog, public Dialog {
 public:
  // `queue`, when given, is dispatched while the page is open, as the
  // modal loop of a Windows dialog dispatches posted messages.
  PageDialog(wxWindow* parent, const DialogTemplate& dialogTemplate, DialogPage& page,
             MessageQueue* queue);

  // OnInitDialog, then the modal loop; the page's result.
  int Run();

  void SetWindowText(const std::string& text) override;
  std::string GetWindowText() const override { return title_; }
  void SetDlgItemText(int id, const std::string& text) override;
  std::string GetDlgItemText(int id) const override;
  void ListResetContent(int id) override;
  int ListAddString(int id, const std::string& text) override;
  int ListGetCurSel(int id) const override;
  std::string ListGetText(int id, int index) const override;
  int ListGetCount(int id) const override;
  void EndDialog(int result) override;
  WindowHandle Handle() const override;

  // The control of a template id (nullptr for none), and the base units
  // its positions were mapped with.
  wxWindow* Control(int id) const;
  BaseUnits Units() const { return units_; }
  const DialogTemplate& Template() const { return template_; }

 private:
  struct ListContent {
    bool sorted = false;
    std::vector<std::string> entries;  // CP932, as added
  };

  void CreateControls();
  wxWindow* CreateControl(const DialogControl& control, const wxPoint& position,
                          const wxSize& size);
  void Command(int id);
  // The editable field holding a character code page 932 cannot hold.
  std::optional<int> FieldWithForeignText() const;
  // Tells the user of such a field and keeps the page open; false when
  // every field can be read as typed.
  bool RefuseForeignText();
  void OnCharHook(wxKeyEvent& event);
  void OnButton(wxCommandEvent& event);
  void OnShow(wxShowEvent& event);
  void OnChildFocus(wxChildFocusEvent& event);
  void OnActivate(wxActivateEvent& event);
  void OnPostedMessageTimer(wxTimerEvent& event);
  wxString DisplayText(int id, const std::string& text) const;
  wxListBox* ListBox(int id) const;

  const DialogTemplate& template_;
  DialogPage& page_;
  MessageQueue* queue_;
  // Idle time does not reach a loop that runs inside an idle handler (where
  // the frame dispatches the command that opens a page), timers do.
  wxTimer postedMessages_;
  BaseUnits units_;
  std::string title_;
  std::map<int, wxWindow*> controls_;
  std::map<int, std::string> texts_;  // CP932 as last set, kept byte for byte
  std::map<int, ListContent> lists_;
  std::optional<int> endedBeforeShown_;
  bool focusGiven_ = false;
  // The control to have the focus once the page is active again: on its
  // activation wx puts back the focus the page had before a box opened.
  std::optional<int> focusWhenActive_;
};

}  // namespace tovrin::gui
