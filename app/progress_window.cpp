#include "app/progress_window.hpp"

#include <wx/gauge.h>

#include "hosts/wx/gui_text.hpp"
#include "hosts/wx/page_controls.hpp"
#include "hosts/wx/template_font.hpp"
#include "platform/window_styles.hpp"
#include "resources/dialog_templates.hpp"

namespace tovrin {
namespace {

constexpr int kBarRange = 1000;  // thousandths

}  // namespace

ProgressWindow::ProgressWindow(wxWindow* mainWindow)
    : wxDialog(mainWindow, wxID_ANY, gui::ToWx(LoadDialogTemplate(IDD_PROGRESS).title),
               wxDefaultPosition, wxDefaultSize, wxCAPTION),
      ticker_(this) {
  const DialogTemplate& dialogTemplate = LoadDialogTemplate(IDD_PROGRESS);
  SetFont(gui::TemplateFont(dialogTemplate));
  const Rect client =
      gui::MapDialogRect(0, 0, dialogTemplate.cx, dialogTemplate.cy, gui::WindowBaseUnits(*this));
  SetClientSize(client.right, client.bottom);
  CreateControls();
  working_ = Control(IDC_PROGRESS_STATE)->GetLabel();
  CentreOnParent();
  SetCursor(*wxHOURGLASS_CURSOR);
  // No close box, and no closing by the window manager's keys either.
  Bind(wxEVT_CLOSE_WINDOW, [](wxCloseEvent& event) { event.Veto(); });
  Bind(wxEVT_TIMER, [this](wxTimerEvent&) { OnTick(); });
  ticker_.Start(kProgressTickMilliseconds);
}

void ProgressWindow::CreateControls() {
  const DialogTemplate& dialogTemplate = LoadDialogTemplate(IDD_PROGRESS);
  const gui::BaseUnits units = gui::WindowBaseUnits(*this);
  for (const DialogControl& control : dialogTemplate.controls) {
    const Rect place = gui::MapDialogRect(control.x, control.y, control.cx, control.cy, units);
    const wxPoint position(place.left, place.top);
    const wxSize size(place.right - place.left, place.bottom - place.top);
    wxWindow* window = nullptr;
    if (control.className == "msctls_progress32") {
      window =
          new wxGauge(this, control.id, kBarRange, position, size, wxGA_HORIZONTAL | wxGA_SMOOTH);
    } else {
      window = new gui::StaticText(
          this, control.id == IDC_STATIC ? wxID_ANY : control.id, gui::ToWx(control.text), position,
          size, (control.style & SS_SUNKEN) != 0, wxALIGN_LEFT | wxALIGN_CENTER_VERTICAL);
    }
    if (control.id != IDC_STATIC) controls_[control.id] = window;
  }
}

wxWindow* ProgressWindow::Control(int id) const {
  const auto found = controls_.find(id);
  return found == controls_.end() ? nullptr : found->second;
}

void ProgressWindow::PutAway() {
  putAway_ = true;
  ticker_.Stop();
  Hide();
}

void ProgressWindow::WaitFor(const std::string& text) {
  if (putAway_) return;
  Control(IDC_PROGRESS_STATE)->SetLabel(gui::ToWxVisible(text));
  Control(IDC_PROGRESS_STATE)->Refresh();
  // Shown before the prompt, so that it never comes up over it.
  OnTick();
  Show();
  Update();
}

void ProgressWindow::WaitNoMore() {
  Control(IDC_PROGRESS_STATE)->SetLabel(working_);
  Control(IDC_PROGRESS_STATE)->Refresh();
}

void ProgressWindow::OnTick() {
  if (putAway_) return;
  const ProgressSnapshot now = progress_.Snapshot();
  if (now.source != shown_.source || now.targetFolder != shown_.targetFolder) {
    for (const auto& [id, text] : {std::pair{IDC_PROGRESS_SOURCE, &now.source},
                                   std::pair{IDC_PROGRESS_FOLDER, &now.targetFolder}}) {
      Control(id)->SetLabel(gui::ToWx(*text));
      Control(id)->Refresh();
    }
  }
  if (now.Permille() != shown_.Permille())
    static_cast<wxGauge*>(Control(IDC_PROGRESS_BAR))->SetValue(now.Permille());
  shown_ = now;
  if (!IsShown() && sinceStart_.Time() >= kProgressShownAfterMilliseconds) Show();
}

}  // namespace tovrin
