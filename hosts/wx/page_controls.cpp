#include "hosts/wx/page_controls.hpp"

#include <wx/dcclient.h>
#include <wx/settings.h>

#include "hosts/wx/paint_surface.hpp"

namespace tovrin::gui {

StaticText::StaticText(wxWindow* parent, wxWindowID id, const wxString& label,
                       const wxPoint& position, const wxSize& size, bool sunken, int alignment)
    : wxControl(parent, id, position, size, wxBORDER_NONE), sunken_(sunken), alignment_(alignment) {
  SetLabel(label);
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &StaticText::OnPaint, this);
}

void StaticText::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
  dc.Clear();
  dc.SetFont(GetFont());
  dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
  wxRect text = GetClientRect();
  if (sunken_) {
    // One pixel: shadow above and left, highlight below and right.
    const wxRect edge = text;
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    dc.DrawLine(edge.GetLeftTop(), edge.GetRightTop());
    dc.DrawLine(edge.GetLeftTop(), edge.GetLeftBottom());
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT)));
    dc.DrawLine(edge.GetLeftBottom(), edge.GetRightBottom() + wxPoint(1, 0));
    dc.DrawLine(edge.GetRightTop(), edge.GetRightBottom());
    text.Deflate(1);
  }
  dc.DrawLabel(GetLabel(), text, alignment_);
}

PictureFrame::PictureFrame(wxWindow* parent, wxWindowID id, const wxPoint& position,
                           const wxSize& size, Painter painter)
    : wxWindow(parent, id, position, size, wxBORDER_NONE), painter_(std::move(painter)) {
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &PictureFrame::OnPaint, this);
}

void PictureFrame::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  // The frame and background first, so the picture goes on top.
  dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
  dc.Clear();
  dc.SetPen(*wxBLACK_PEN);
  dc.SetBrush(*wxTRANSPARENT_BRUSH);
  dc.DrawRectangle(GetClientRect());
  DcPaintSurface surface(dc, GetClientSize());
  painter_(surface);
}

}  // namespace tovrin::gui
