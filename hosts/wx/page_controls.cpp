#include "hosts/wx/page_controls.hpp"

#include <wx/dcclient.h>
#include <wx/settings.h>

#include "hosts/wx/paint_surface.hpp"

namespace tovrin::gui {

StaticText::StaticText(wxWindow* parent, wxWindowID id, const wxString& label,
                       const wxPoint& position, const wxSize& size, bool sunken, int alignment,
                       bool pathEllipsis)
    : wxControl(parent, id, position, size, wxBORDER_NONE),
      sunken_(sunken),
      alignment_(alignment),
      pathEllipsis_(pathEllipsis) {
  SetLabel(label);
  SetBackgroundStyle(wxBG_STYLE_PAINT);
  Bind(wxEVT_PAINT, &StaticText::OnPaint, this);
}

void StaticText::SetLabel(const wxString& label) {
  wxControl::SetLabel(label);
  if (!pathEllipsis_) return;
  if (ShownText() != label) {
    SetToolTip(label);
  } else {
    UnsetToolTip();
  }
}

wxRect StaticText::TextArea() const {
  wxRect text = GetClientRect();
  if (sunken_) text.Deflate(1);
  return text;
}

wxString StaticText::ShownText() const {
  if (!pathEllipsis_) return GetLabel();
  wxClientDC dc(const_cast<StaticText*>(this));
  dc.SetFont(GetFont());
  return wxControl::Ellipsize(GetLabel(), dc, wxELLIPSIZE_MIDDLE, TextArea().GetWidth(),
                              wxELLIPSIZE_FLAGS_NONE);
}

void StaticText::OnPaint(wxPaintEvent&) {
  wxPaintDC dc(this);
  dc.SetBackground(wxBrush(GetParent()->GetBackgroundColour()));
  dc.Clear();
  dc.SetFont(GetFont());
  dc.SetTextForeground(wxSystemSettings::GetColour(wxSYS_COLOUR_WINDOWTEXT));
  const wxRect text = TextArea();
  if (sunken_) {
    // One pixel: shadow above and left, highlight below and right.
    const wxRect edge = GetClientRect();
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNSHADOW)));
    dc.DrawLine(edge.GetLeftTop(), edge.GetRightTop());
    dc.DrawLine(edge.GetLeftTop(), edge.GetLeftBottom());
    dc.SetPen(wxPen(wxSystemSettings::GetColour(wxSYS_COLOUR_BTNHIGHLIGHT)));
    dc.DrawLine(edge.GetLeftBottom(), edge.GetRightBottom() + wxPoint(1, 0));
    dc.DrawLine(edge.GetRightTop(), edge.GetRightBottom());
  }
  dc.DrawLabel(ShownText(), text, alignment_);
}

PictureFrame::PictureFrame(wxWindow* parent, wxWindowID id, const wxPoint& position,
                           const wxSize& size, Painter painter)
    : wxWindow(parent, id, position, size, wxBORDER_NONE),
      painter_(std::move(painter)) {
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
