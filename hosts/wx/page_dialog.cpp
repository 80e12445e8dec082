#include "hosts/wx/page_dialog.hpp"

#include <algorithm>

#include <wx/button.h>
#include <wx/checkbox.h>
#include <wx/listbox.h>
#include <wx/statbmp.h>
#include <wx/textctrl.h>

#include "platform/cp932.hpp"
#include "hosts/wx/gui_text.hpp"
#include "hosts/wx/message_box.hpp"
#include "hosts/wx/page_controls.hpp"
#include "hosts/wx/page_list_box.hpp"
#include "hosts/wx/program_icon.hpp"
#include "hosts/wx/template_font.hpp"
#include "platform/enter_key.hpp"
#include "platform/list_box_order.hpp"
#include "platform/window_styles.hpp"
#include "resources/messages.hpp"

namespace tovrin::gui {
namespace {

constexpr int kPostedMessageMilliseconds = 20;

long DialogFrameStyle(std::uint32_t style) {
  long frame = wxCAPTION;
  if (style & WS_SYSMENU) frame |= wxSYSTEM_MENU | wxCLOSE_BOX;
  return frame;
}

int StaticAlignment(std::uint32_t style) {
  int alignment = (style & SS_TYPEMASK) == SS_CENTER ? wxALIGN_CENTER_HORIZONTAL : wxALIGN_LEFT;
  if (style & SS_CENTERIMAGE) alignment |= wxALIGN_CENTER_VERTICAL;
  return alignment;
}

long EditStyle(std::uint32_t style) {
  long edit = (style & WS_BORDER) ? wxBORDER_SUNKEN : wxBORDER_NONE;
  if (style & ES_MULTILINE) edit |= wxTE_MULTILINE;
  if (style & ES_READONLY) edit |= wxTE_READONLY;
  return edit;
}

bool IsMultiline(const DialogControl& control) {
  return control.className == "edit" && (control.style & ES_MULTILINE) != 0;
}

// Windows ids of the template become wx window ids; a static without one
// gets a wx id of its own.
wxWindowID WindowId(int id) { return id == -1 ? wxID_ANY : id; }

}  // namespace

PageDialog::PageDialog(wxWindow* parent, const DialogTemplate& dialogTemplate, DialogPage& page,
                       MessageQueue* queue)
    : wxDialog(parent, wxID_ANY, ToWx(dialogTemplate.title), wxDefaultPosition, wxDefaultSize,
               DialogFrameStyle(dialogTemplate.style)),
      template_(dialogTemplate),
      page_(page),
      queue_(queue),
      title_(dialogTemplate.title) {
  SetFont(TemplateFont(dialogTemplate));
  units_ = WindowBaseUnits(*this);
  const Rect client = MapDialogRect(0, 0, dialogTemplate.cx, dialogTemplate.cy, units_);
  SetClientSize(client.right, client.bottom);
  CreateControls();
  if (dialogTemplate.style & DS_CENTER) CentreOnScreen();

  Bind(wxEVT_CHAR_HOOK, &PageDialog::OnCharHook, this);
  Bind(wxEVT_BUTTON, &PageDialog::OnButton, this);
  Bind(wxEVT_CHECKBOX, &PageDialog::OnButton, this);
  postedMessages_.SetOwner(this);
  Bind(wxEVT_TIMER, &PageDialog::OnPostedMessageTimer, this);
  Bind(wxEVT_CLOSE_WINDOW, [this](wxCloseEvent&) { Command(IDCANCEL); });
  Bind(wxEVT_SHOW, &PageDialog::OnShow, this);
  Bind(wxEVT_CHILD_FOCUS, &PageDialog::OnChildFocus, this);
  Bind(wxEVT_ACTIVATE, &PageDialog::OnActivate, this);
}

void PageDialog::CreateControls() {
  for (const DialogControl& control : template_.controls) {
    const Rect place = MapDialogRect(control.x, control.y, control.cx, control.cy, units_);
    wxWindow* window = CreateControl(control, {place.left, place.top},
                                     {place.right - place.left, place.bottom - place.top});
    if (!(control.style & WS_VISIBLE)) window->Hide();
    if (control.style & WS_DISABLED) window->Disable();
    // Tab visits the template's tab stops only.
    if (!(control.style & WS_TABSTOP)) window->DisableFocusFromKeyboard();
    if (control.id != -1) controls_[control.id] = window;
    if (control.id != -1 && control.className != "listbox") texts_[control.id] = control.text;
  }
}

wxWindow* PageDialog::CreateControl(const DialogControl& control, const wxPoint& position,
                                    const wxSize& size) {
  const wxWindowID id = WindowId(control.id);
  const std::uint32_t style = control.style;
  if (control.className == "button") {
    if ((style & BS_TYPEMASK) == BS_AUTOCHECKBOX)
      return new wxCheckBox(this, id, ToWx(control.text), position, size);
    auto* button = new wxButton(this, id, ToWx(control.text), position, size);
    if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON) button->SetDefault();
    return button;
  }
  if (control.className == "edit")
    return new wxTextCtrl(this, id, DisplayText(control.id, control.text), position, size,
                          EditStyle(style));
  if (control.className == "listbox") {
    lists_[control.id].sorted = (style & LBS_SORT) != 0;
    long list = wxLB_SINGLE | wxBORDER_SUNKEN;
    if (style & LBS_DISABLENOSCROLL) list |= wxLB_ALWAYS_SB;
    return new PageListBox(this, id, position, size, list,
                           [this, id = control.id] { page_.OnCommand(*this, id, LBN_SELCHANGE); });
  }
  if (control.className == "icon") return new wxStaticBitmap(this, id, ProgramIcon(), position);
  if ((style & SS_TYPEMASK) == SS_BLACKFRAME)
    return new PictureFrame(this, id, position, size,
                            [this](PaintSurface& surface) { page_.OnPaint(*this, surface); });
  return new StaticText(this, id, ToWx(control.text), position, size, (style & SS_SUNKEN) != 0,
                        StaticAlignment(style), (style & SS_PATHELLIPSIS) != 0);
}

int PageDialog::Run() {
  page_.OnInitDialog(*this);
  if (endedBeforeShown_) return *endedBeforeShown_;
  if (queue_ != nullptr) postedMessages_.Start(kPostedMessageMilliseconds);
  const int result = ShowModal();
  postedMessages_.Stop();
  return result;
}

wxWindow* PageDialog::Control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

wxListBox* PageDialog::ListBox(int id) const { return dynamic_cast<wxListBox*>(Control(id)); }

void PageDialog::SetWindowText(const std::string& text) {
  title_ = text;
  SetTitle(ToWx(text));
}

wxString PageDialog::DisplayText(int id, const std::string& text) const {
  wxString shown = ToWx(text);
  const auto control = std::find_if(template_.controls.begin(), template_.controls.end(),
                                    [id](const DialogControl& c) { return c.id == id; });
  // A multi-line edit breaks lines at CR LF; GTK at LF alone.
  if (control != template_.controls.end() && IsMultiline(*control)) shown.Replace("\r\n", "\n");
  return shown;
}

void PageDialog::SetDlgItemText(int id, const std::string& text) {
  wxWindow* window = Control(id);
  if (window == nullptr) return;
  texts_[id] = text;
  if (auto* edit = dynamic_cast<wxTextCtrl*>(window)) {
    edit->ChangeValue(DisplayText(id, text));
    return;
  }
  window->SetLabel(DisplayText(id, text));
  window->Refresh();
}

std::string PageDialog::GetDlgItemText(int id) const {
  wxWindow* window = Control(id);
  if (window == nullptr) return {};
  auto* edit = dynamic_cast<wxTextCtrl*>(window);
  const wxString shown = edit != nullptr ? edit->GetValue() : window->GetLabel();
  // Unchanged since set: the exact bytes, which a round trip through
  // Unicode might not give back.
  const auto set = texts_.find(id);
  if (set != texts_.end() && DisplayText(id, set->second) == shown) return set->second;
  std::string text = FromWx(shown);
  if (edit != nullptr && edit->IsMultiLine()) {
    wxString crlf = shown;
    crlf.Replace("\n", "\r\n");
    text = FromWx(crlf);
  }
  return text;
}

void PageDialog::ListResetContent(int id) {
  wxListBox* list = ListBox(id);
  if (list == nullptr) return;
  list->Clear();
  lists_[id].entries.clear();
}

int PageDialog::ListAddString(int id, const std::string& text) {
  wxListBox* list = ListBox(id);
  if (list == nullptr) return -1;
  ListContent& content = lists_[id];
  const std::size_t index =
      content.sorted ? ListBoxInsertionIndex(content.entries, text) : content.entries.size();
  content.entries.insert(content.entries.begin() + static_cast<std::ptrdiff_t>(index), text);
  list->Insert(ToWx(text), static_cast<unsigned>(index));
  return static_cast<int>(index);
}

int PageDialog::ListGetCurSel(int id) const {
  wxListBox* list = ListBox(id);
  return list == nullptr ? -1 : list->GetSelection();
}

std::string PageDialog::ListGetText(int id, int index) const {
  const auto found = lists_.find(id);
  if (found == lists_.end() || index < 0 || index >= static_cast<int>(found->second.entries.size()))
    return {};
  return found->second.entries[static_cast<std::size_t>(index)];
}

int PageDialog::ListGetCount(int id) const {
  const auto found = lists_.find(id);
  return found == lists_.end() ? -1 : static_cast<int>(found->second.entries.size());
}

void PageDialog::EndDialog(int result) {
  if (!IsModal()) {
    endedBeforeShown_ = result;
    return;
  }
  EndModal(result);
}

WindowHandle PageDialog::Handle() const {
  return static_cast<wxWindow*>(const_cast<PageDialog*>(this));
}

std::optional<int> PageDialog::FieldWithForeignText() const {
  for (const auto& [id, window] : controls_) {
    const auto* edit = dynamic_cast<const wxTextCtrl*>(window);
    if (edit == nullptr || !edit->IsEditable()) continue;
    // The buffer belongs to the string it came from: keep that alive.
    const wxString shown = edit->GetValue();
    const wxScopedCharBuffer utf8 = shown.utf8_str();
    if (!cp932::FromUtf8({utf8.data(), utf8.length()})) return id;
  }
  return std::nullopt;
}

bool PageDialog::RefuseForeignText() {
  const auto field = FieldWithForeignText();
  if (!field) return false;
  // The page's logic would read '?' where the user typed something else.
  ShowMessageBox(this, ToWx(cp932::Text(texts::kCharacterNotAllowed)),
                 ToWx(cp932::Text(texts::kCaptionError)), false);
  Control(*field)->SetFocus();
  if (!IsActive()) focusWhenActive_ = field;
  return true;
}

void PageDialog::Command(int id) {
  if (id == IDOK) {
    if (RefuseForeignText()) return;
    page_.OnOK(*this);
  } else if (id == IDCANCEL) {
    page_.OnCancel(*this);
  } else {
    page_.OnCommand(*this, id, BN_CLICKED);
  }
}

void PageDialog::OnCharHook(wxKeyEvent& event) {
  const int key = event.GetKeyCode();
  if (key == WXK_ESCAPE) {
    Command(IDCANCEL);
    return;
  }
  if (key == WXK_RETURN || key == WXK_NUMPAD_ENTER) {
    wxWindow* focused = FindFocus();
    const bool ours = focused != nullptr && focused->GetParent() == this;
    const EnterKey enter =
        WhatEnterDoes(template_, ours ? focused->GetId() : 0, ours && focused->IsEnabled());
    if (enter.action == EnterKey::Action::PressButton) {
      Command(enter.controlId);
    } else if (auto* list = dynamic_cast<PageListBox*>(Control(enter.controlId))) {
      list->PickHighlighted();
    }
    return;
  }
  event.Skip();
}

void PageDialog::OnButton(wxCommandEvent& event) { Command(event.GetId()); }

void PageDialog::OnShow(wxShowEvent& event) {
  event.Skip();
  if (event.IsShown()) CallAfter([this] { Raise(); });
}

void PageDialog::OnChildFocus(wxChildFocusEvent& event) {
  event.Skip();
  if (focusGiven_) return;
  focusGiven_ = true;
  // As on Windows, the default button has the focus when a page opens:
  // taken from wherever the toolkit first put it.
  CallAfter([this] {
    wxWindow* button = Control(DefaultButtonId(template_));
    if (button != nullptr && button->IsShown() && button->IsEnabled()) button->SetFocus();
  });
}

void PageDialog::OnActivate(wxActivateEvent& event) {
  event.Skip();
  if (!event.GetActive() || !focusWhenActive_) return;
  const int id = *focusWhenActive_;
  focusWhenActive_.reset();
  // After wx has put back the old focus.
  CallAfter([this, id] { Control(id)->SetFocus(); });
}

void PageDialog::OnPostedMessageTimer(wxTimerEvent&) {
  while (IsModal() && queue_->DispatchOne()) {
  }
}

}  // namespace tovrin::gui
