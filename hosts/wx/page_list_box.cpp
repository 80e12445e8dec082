#include "hosts/wx/page_list_box.hpp"

#include <dlfcn.h>

#include <wx/utils.h>

namespace tovrin::gui {
namespace {

// A GTK call taking a widget and a flag, from the toolkit wxWidgets has
// loaded: the program builds without GTK's headers.
void CallGtk(const char* name, void* widget, int flag) {
  using Call = void (*)(void*, int);
  const auto call = reinterpret_cast<Call>(::dlsym(RTLD_DEFAULT, name));
  if (call != nullptr && widget != nullptr) call(widget, flag);
}

}  // namespace

PageListBox::PageListBox(wxWindow* parent, wxWindowID id, const wxPoint& position,
                         const wxSize& size, long style, std::function<void()> onPick)
    : wxListBox(parent, id, position, size, 0, nullptr, style),
      onPick_(std::move(onPick)) {
  // Enter on an entry is the list's alone: GTK would go on to press the
  // page's default button, unless the list takes the default action itself
  // (which, having none, it then drops).
  CallGtk("gtk_widget_set_receives_default", m_treeview, 1);
  // The scroll bar stays in sight, not only while the pointer is over the
  // list, so that a cut-off entry shows there is more.
  if (style & wxLB_ALWAYS_SB) CallGtk("gtk_scrolled_window_set_overlay_scrolling", GetHandle(), 0);
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
