#pragma once
// A message box as the program's Windows boxes look: the text in the font
// the pages name (through the same alias), OK alone or OK and キャンセル as
// buttons of the size Windows gives them, centred under the text.

#include <wx/dialog.h>

namespace tovrin::gui {

class MessageBoxDialog : public wxDialog {
 public:
  MessageBoxDialog(wxWindow* owner, const wxString& text, const wxString& caption, bool withCancel);

  // The box's buttons, for their size and place.
  wxWindow* OkButton() const { return ok_; }
  wxWindow* CancelButton() const { return cancel_; }

 private:
  wxWindow* ok_ = nullptr;
  wxWindow* cancel_ = nullptr;
};

// Shows the box modally, owned by `owner`: wxID_OK or wxID_CANCEL (Esc and
// the close button give Cancel, or OK on a box without Cancel).
int ShowMessageBox(wxWindow* owner, const wxString& text, const wxString& caption, bool withCancel);

}  // namespace tovrin::gui
