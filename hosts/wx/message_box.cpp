#include "hosts/wx/message_box.hpp"

#include <algorithm>

#include <wx/button.h>
#include <wx/display.h>
#include <wx/sizer.h>
#include <wx/stattext.h>

#include "platform/cp932.hpp"
#include "hosts/wx/dialog_units.hpp"
#include "hosts/wx/gui_text.hpp"
#include "resources/dialog_templates.hpp"
#include "resources/messages.hpp"

namespace tovrin::gui {
namespace {

// The size of Windows' message font.
constexpr int kBoxPointSize = 9;

// In dialog units, as Windows lays a message box out.
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kButtonGap = 4;
constexpr int kMargin = 7;

// A box over a window that tells how work goes (a dialog with no modal loop
// of its own) opens just below it, or above it when the screen ends first,
// so that what that window says stays in sight.
void KeepOwnerInSight(wxDialog& box, wxWindow* owner, int gap) {
  auto* dialog = dynamic_cast<wxDialog*>(owner);
  if (dialog == nullptr || dialog->IsModal() || !dialog->IsShown()) return;
  // A window just shown may not have its frame yet: room for a caption,
  // which the window manager may still add above it.
  const int caption =
      std::max(dialog->GetSize().y - dialog->GetClientSize().y, 2 * box.GetCharHeight());
  const wxRect ownerPlace = dialog->GetScreenRect();
  const wxRect screen = wxDisplay(dialog).GetClientArea();
  int top = ownerPlace.GetBottom() + caption + gap;
  if (top + box.GetSize().y > screen.GetBottom()) top = ownerPlace.GetTop() - gap - box.GetSize().y;
  box.Move(box.GetPosition().x, std::max(top, screen.GetTop()));
}

wxFont ProgramFont() {
  const DialogTemplate& page = LoadDialogTemplate(IDD_NOTICE);
  return wxFont(wxFontInfo(kBoxPointSize).FaceName(ToWx(page.fontName)));
}

}  // namespace

MessageBoxDialog::MessageBoxDialog(wxWindow* owner, const wxString& text, const wxString& caption,
                                   bool withCancel)
    : wxDialog(owner, wxID_ANY, caption, wxDefaultPosition, wxDefaultSize,
               wxCAPTION | wxSYSTEM_MENU | wxCLOSE_BOX) {
  SetFont(ProgramFont());
  const BaseUnits units{
      AverageCharWidth(GetTextExtent("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz").x),
      GetCharHeight()};
  const Rect button = MapDialogRect(kMargin, kButtonGap, kButtonWidth, kButtonHeight, units);
  const int margin = button.left;
  const int gap = button.top;
  const wxSize buttonSize(button.right - button.left, button.bottom - button.top);

  auto* buttons = new wxBoxSizer(wxHORIZONTAL);
  auto* ok = new wxButton(this, wxID_OK, "OK", wxDefaultPosition, buttonSize);
  buttons->Add(ok);
  ok_ = ok;
  if (withCancel) {
    cancel_ = new wxButton(this, wxID_CANCEL, ToWx(cp932::Text(texts::kCancelButton)),
                           wxDefaultPosition, buttonSize);
    buttons->AddSpacer(gap);
    buttons->Add(cancel_);
  }
  ok->SetDefault();
  SetEscapeId(withCancel ? wxID_CANCEL : wxID_OK);

  auto* box = new wxBoxSizer(wxVERTICAL);
  box->Add(new wxStaticText(this, wxID_ANY, text), wxSizerFlags().Border(wxALL, margin));
  box->Add(buttons, wxSizerFlags().Centre().Border(wxLEFT | wxRIGHT | wxBOTTOM, margin));
  SetSizerAndFit(box);
  CentreOnParent();
  KeepOwnerInSight(*this, owner, margin);
  ok->SetFocus();
}

int ShowMessageBox(wxWindow* owner, const wxString& text, const wxString& caption,
                   bool withCancel) {
  MessageBoxDialog box(owner, text, caption, withCancel);
  return box.ShowModal() == wxID_OK ? wxID_OK : wxID_CANCEL;
}

}  // namespace tovrin::gui
