#include "app/tovrin_app.hpp"

#include "app/about_dlg.hpp"
#include "app/main_frame.hpp"
#include "platform/gui/font_alias.hpp"
#include "resources/accelerator_table.hpp"

namespace tovrin {

CTovrinApp::CTovrinApp(WizardServices services)
    : services_(services),
      platform_{services.files, services.registry, ui_},
      dialogs_(&queue_) {}

bool CTovrinApp::OnInit() {
  frame_ = new CMainFrame(platform_, services_.archives, dialogs_, queue_);
  // The update run's boxes name the view as their owner.
  ui_.SetOwnerWindow(&frame_->View(), frame_);
  Bind(wxEVT_IDLE, &CTovrinApp::OnIdle, this);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnAppAbout(); }, ID_APP_ABOUT);
  SetTopWindow(frame_);
  frame_->Show();
  frame_->Update();
  return true;
}

void CTovrinApp::OnAppAbout() {
  CAboutDlg about;
  dialogs_.DoModal(about);
}

void CTovrinApp::OnIdle(wxIdleEvent& event) {
  // The posted messages, one at a time: a page opened by one runs its own
  // loop, which goes on dispatching the rest.
  if (queue_.DispatchOne()) event.RequestMore();
  event.Skip();
}

int RunWizard(int argc, char** argv, WizardServices services) {
  // Before GTK starts, so that Pango's font map has the alias.
  gui::LoadFontAlias();
  wxApp::SetInstance(new CTovrinApp(services));
  return wxEntry(argc, argv);
}

}  // namespace tovrin
