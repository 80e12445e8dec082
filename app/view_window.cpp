#include "app/view_window.hpp"

#include <wx/dcbuffer.h>
#include <wx/settings.h>

#include "hosts/wx/paint_surface.hpp"

namespace tovrin {

ViewWindow::ViewWindow(wxWindow* frame, CTovrinView& view)
    : wxWindow(frame, wxID_ANY, wxDefaultPosition, wxDefaultSize,
               wxBORDER_NONE | wxFULL_REPAINT_ON_RESIZE),
      view_(view) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &ViewWindow::OnPaint, this);
}

void ViewWindow::OnPaint(wxPaintEvent&) {
  wxAutoBufferedPaintDC dc(this);
  // The view's background shows wherever the picture does not load.
  dc.SetBackground(wxBrush(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOW)));
  dc.Clear();
  gui::DcPaintSurface surface(dc, GetClientSize());
  view_.OnPaint(surface);
}

}  // namespace tovrin
