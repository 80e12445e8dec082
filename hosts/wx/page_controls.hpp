#pragma once
// The controls of a page that GTK has no widget for as Windows draws them:
// static texts (aligned, optionally centred vertically, sunken) and the
// black picture frame that a page paints its picture into.

#include <functional>

#include <wx/control.h>
#include <wx/window.h>

#include "platform/dialog_host.hpp"

namespace tovrin::gui {

class StaticText : public wxControl {
 public:
  // `alignment` is a wxALIGN_* combination; `sunken` draws the thin
  // sunken edge of SS_SUNKEN; `pathEllipsis` shortens a text too long for
  // the control in its middle, the whole text then its tooltip
  // (SS_PATHELLIPSIS).
  StaticText(wxWindow* parent, wxWindowID id, const wxString& label, const wxPoint& position,
             const wxSize& size, bool sunken, int alignment, bool pathEllipsis = false);
  int Alignment() const { return alignment_; }
  bool Sunken() const { return sunken_; }
  void SetLabel(const wxString& label) override;
  // The text as drawn.
  wxString ShownText() const;

 private:
  void OnPaint(wxPaintEvent& event);
  bool AcceptsFocus() const override { return false; }
  wxRect TextArea() const;
  bool sunken_;
  int alignment_;
  bool pathEllipsis_;
};

// SS_BLACKFRAME: a one-pixel black frame; the painter draws over it.
class PictureFrame : public wxWindow {
 public:
  using Painter = std::function<void(PaintSurface&)>;
  PictureFrame(wxWindow* parent, wxWindowID id, const wxPoint& position, const wxSize& size,
               Painter painter);

 private:
  void OnPaint(wxPaintEvent& event);
  bool AcceptsFocus() const override { return false; }
  Painter painter_;
};

}  // namespace tovrin::gui
