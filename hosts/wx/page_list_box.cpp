#include "hosts/wx/page_list_box.hpp"

#include <wx/utils.h>

namespace tovrin::gui {

PageListBox::PageListBox(wxWindow* parent, wxWindowID id, const wxPoint& position,
                         const wxSize& size, long style, std::function<void()> onPick)
    : wxListBox(parent, id, position, size, 0, nullptr, style), onPick_(std::move(onPick)) {
  Bind(wxEVT_LEFT_DOWN, &PageListBox::OnLeftDown, this);
  Bind(wxEVT_LISTBOX, &PageListBox::OnToolkitSelection, this);
  // GTK activates the highlighted entry on Enter; a double click is two
  // picks already.
  Bind(wxEVT_LISTBOX_DCLICK, [this](wxCommandEvent&) {
    if (!wxGetMouseState().LeftIsDown()) PickHighlighted();
  });
}

bool PageListBox::PickHighlighted() {
  if (GetSelection() == wxNOT_FOUND) return false;
  PickLater();
  return true;
}

void PageListBox::OnLeftDown(wxMouseEvent& event) {
  event.Skip();
  clicked_ = HitTest(event.GetPosition());
  if (clicked_ == wxNOT_FOUND) {
    // Below the entries: nothing picked, and nothing left highlighted by
    // the focus the click gives.
    CallAfter([this] { SetSelection(wxNOT_FOUND); });
    return;
  }
  // The toolkit tells no change for an entry already highlighted.
  if (clicked_ == GetSelection()) {
    clicked_ = wxNOT_FOUND;
    PickLater();
  }
}

void PageListBox::OnToolkitSelection(wxCommandEvent&) {
  if (clicked_ == wxNOT_FOUND || GetSelection() != clicked_) return;
  clicked_ = wxNOT_FOUND;
  PickLater();
}

void PageListBox::PickLater() {
  CallAfter([this] {
    if (GetSelection() != wxNOT_FOUND) onPick_();
  });
}

}  // namespace tovrin::gui
