#pragma once
// The window of the wizard controller: fills the frame's client area and
// paints line 22's picture stretched over it.

#include <wx/window.h>

#include "wizard/tovrin_view.hpp"

namespace tovrin {

class ViewWindow : public wxWindow {
 public:
  ViewWindow(wxWindow* frame, CTovrinView& view);

 private:
  void OnPaint(wxPaintEvent& event);
  CTovrinView& view_;
};

}  // namespace tovrin
