#pragma once
// A list box of a page that tells the page only of entries the user picked:
// a click on an entry, or Enter on the highlighted one. GTK selects entries
// of its own accord (the first when the list takes the focus, the next one
// as the arrow keys move); those only move the highlight, so a toolkit's
// selection never counts as the user's.

#include <functional>

#include <wx/listbox.h>

namespace tovrin::gui {

class PageListBox : public wxListBox {
 public:
  PageListBox(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size,
              long style, std::function<void()> onPick);

  // The highlighted entry becomes the user's pick (Enter in the list);
  // false when nothing is highlighted.
  bool PickHighlighted();

 private:
  void OnLeftDown(wxMouseEvent& event);
  void OnToolkitSelection(wxCommandEvent& event);
  // After the toolkit has finished with the click: the page may refill the
  // list in answer.
  void PickLater();

  std::function<void()> onPick_;
  int clicked_ = wxNOT_FOUND;
};

}  // namespace tovrin::gui
