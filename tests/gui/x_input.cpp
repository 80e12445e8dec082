#include "tests/gui/x_input.hpp"

#include <dlfcn.h>

#include <wx/listbox.h>

namespace tovrin::testing {

void Click(wxWindow* window) {
  const wxRect place = window->GetScreenRect();
  ClickAt({place.GetLeft() + place.GetWidth() / 2, place.GetTop() + place.GetHeight() / 2});
}

wxPoint EntryPoint(wxWindow* listBox, int index) {
  auto* list = dynamic_cast<wxListBox*>(listBox);
  if (list == nullptr) return {};
  const wxSize size = list->GetClientSize();
  for (int y = 0; y < size.y; ++y) {
    if (list->HitTest(wxPoint(size.x / 2, y)) == index)
      return list->ClientToScreen({size.x / 2, y + 4});
  }
  return {};
}

// The X window of a top-level window, through the toolkit the program has
// loaded already (GTK 3 under wxWidgets); 0 when it has none yet.
unsigned long XWindowOf(wxWindow* topLevel) {
  using WindowOfWidget = void* (*)(void*);
  using XidOfWindow = unsigned long (*)(void*);
  static const auto windowOf =
      reinterpret_cast<WindowOfWidget>(::dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  static const auto xidOf =
      reinterpret_cast<XidOfWindow>(::dlsym(RTLD_DEFAULT, "gdk_x11_window_get_xid"));
  if (windowOf == nullptr || xidOf == nullptr || topLevel->GetHandle() == nullptr) return 0;
  void* window = windowOf(topLevel->GetHandle());
  return window != nullptr ? xidOf(window) : 0;
}

bool HasTheFocus(wxWindow* topLevel) {
  const unsigned long window = XWindowOf(topLevel);
  return window != 0 && ActiveWindow() == window;
}

bool StackedAbove(wxWindow* upper, wxWindow* lower) {
  // Bottom to top: "_NET_CLIENT_LIST_STACKING(WINDOW): window id # 0x..., 0x...".
  const std::string stacking = CommandOutput("xprop -root -notype _NET_CLIENT_LIST_STACKING");
  const auto place = [&](wxWindow* window) {
    char id[32];
    std::snprintf(id, sizeof id, "0x%lx", XWindowOf(window));
    const std::size_t found = stacking.find(std::string(id) + ",");
    return found != std::string::npos ? found : stacking.find(std::string(id) + "\n");
  };
  const std::size_t upperPlace = place(upper);
  const std::size_t lowerPlace = place(lower);
  return upperPlace != std::string::npos && lowerPlace != std::string::npos &&
         upperPlace > lowerPlace;
}

}  // namespace tovrin::testing
