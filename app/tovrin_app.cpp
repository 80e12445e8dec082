#include "app/tovrin_app.hpp"

#include <cstdlib>
#include <iostream>

#include "app/about_dlg.hpp"
#include "app/main_frame.hpp"
#include "app/unattended_run.hpp"
#include "hosts/wx/font_alias.hpp"
#include "resources/accelerator_table.hpp"

namespace tovrin {

CTovrinApp::CTovrinApp(WizardServices services)
    : services_(services),
      platform_{services.files, services.registry, ui_},
      dialogs_(&queue_) {
  dialogs_.SetTypedDestination(services.typedDestination);
}

bool CTovrinApp::OnInit() {
  frame_ = new CMainFrame(platform_, services_.archives, dialogs_, queue_);
  frame_->View().ObserveRunsThrough(services_.files);
  frame_->View().AddRunListener(services_.events);
  frame_->View().AddRunListener(lastOutcome_);
  // The update run's boxes name the view as their owner.
  ui_.SetOwnerWindow(&frame_->View(), frame_);
  runHost_ = std::make_unique<WorkerRunHost>(*frame_);
  frame_->View().SetRunHost(*runHost_);
  dialogs_.SetOwner(frame_);
  Bind(wxEVT_MENU, [this](wxCommandEvent&) { OnAppAbout(); }, ID_APP_ABOUT);
  SetTopWindow(frame_);
  frame_->Show();
  frame_->Update();
  return true;
}

int CTovrinApp::OnRun() {
  wxApp::OnRun();
  return ExitStatusOf(lastOutcome_.Outcome());
}

void CTovrinApp::OnAppAbout() {
  CAboutDlg about;
  dialogs_.DoModal(about);
}

bool HasDisplay() {
  for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return true;
  }
  return false;
}

int RunWizard(int argc, char** argv, WizardServices services) {
  // Before GTK starts, so that Pango's font map has the alias.
  if (!gui::LoadFontAlias())
    std::cerr << "tovrin: the font alias was refused; the pages use the default font\n";
  wxApp::SetInstance(new CTovrinApp(services));
  return wxEntry(argc, argv);
}

}  // namespace tovrin
