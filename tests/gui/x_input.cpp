#include "tests/gui/x_input.hpp"

#include <dlfcn.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include <wx/listbox.h>

namespace tovrin::testing {
namespace {

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

void Run(const std::string& command) {
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
}

}  // namespace

std::string CommandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string output;
  if (!pipe) return output;
  char buffer[256];
  while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe.get()))
    output.append(buffer, read);
  return output;
}

void Click(wxWindow* window) {
  const wxRect place = window->GetScreenRect();
  ClickAt({place.GetLeft() + place.GetWidth() / 2, place.GetTop() + place.GetHeight() / 2});
}

void ClickAt(const wxPoint& point) {
  Run("xdotool mousemove --sync " + std::to_string(point.x) + " " + std::to_string(point.y) +
      " click 1");
}

wxPoint EntryPoint(wxWindow* listBox, int index) {
  auto* list = dynamic_cast<wxListBox*>(listBox);
  if (list == nullptr) return {};
  const wxSize size = list->GetClientSize();
  for (int y = 0; y < size.y; ++y) {
    if (list->HitTest(wxPoint(size.x / 2, y)) == index) return list->ClientToScreen({size.x / 2, y + 4});
  }
  return {};
}

void PressKeys(const std::string& keys) { Run("xdotool key --delay 60 " + keys); }

void TypeText(const std::string& text) { Run("xdotool type --delay 60 " + Quoted(text)); }

// The X window of a top-level window, through the toolkit the program has
// loaded already (GTK 3 under wxWidgets); 0 when it has none yet.
unsigned long XWindowOf(wxWindow* topLevel) {
  using WindowOfWidget = void* (*)(void*);
  using XidOfWindow = unsigned long (*)(void*);
  static const auto windowOf = reinterpret_cast<WindowOfWidget>(::dlsym(RTLD_DEFAULT, "gtk_widget_get_window"));
  static const auto xidOf = reinterpret_cast<XidOfWindow>(::dlsym(RTLD_DEFAULT, "gdk_x11_window_get_xid"));
  if (windowOf == nullptr || xidOf == nullptr || topLevel->GetHandle() == nullptr) return 0;
  void* window = windowOf(topLevel->GetHandle());
  return window != nullptr ? xidOf(window) : 0;
}

bool HasTheFocus(wxWindow* topLevel) {
  const std::string active = CommandOutput("xdotool getactivewindow 2>/dev/null");
  const unsigned long window = XWindowOf(topLevel);
  return window != 0 && std::strtoul(active.c_str(), nullptr, 10) == window;
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
