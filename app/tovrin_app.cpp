#include "app/tovrin_app.hpp"

#include <cstdlib>
#include <iostream>

#include "app/about_dlg.hpp"
#include "app/main_frame.hpp"
#include "app/unattended_run.hpp"
#include "hosts/wx/font_alias.hpp"
#include "resources/accelerator_table.hpp"

namespace tovrin {

CTovrinApp::CTovrinApp(ProgramAssembly& program) : program_(program), dialogs_(&queue_) {}

bool CTovrinApp::OnInit() {
  frame_ = new CMainFrame(program_.PlatformFor(ui_), program_.Archives(),
                          program_.DialogsOver(dialogs_), queue_);
  // The update run's boxes name the view as their owner.
  ui_.SetOwnerWindow(&frame_->View(), frame_);
  runHost_ = std::make_unique<WorkerRunHost>(*frame_);
  program_.WireRuns(frame_->View(), runHost_.get());
  dialogs_.SetOwner(frame_);
  Bind(
      wxEVT_MENU, [this](wxCommandEvent&) { OnAppAbout(); }, ID_APP_ABOUT);
  SetTopWindow(frame_);
  frame_->Show();
  frame_->Update();
  return true;
}

int CTovrinApp::OnRun() {
  wxApp::OnRun();
  return program_.ExitStatus();
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

int RunWizard(int argc, char** argv, ProgramAssembly& program) {
  // Before GTK starts, so that Pango's font map has the alias.
  if (!gui::LoadFontAlias())
    std::cerr << "tovrin: the font alias was refused; the pages use the default font\n";
  wxApp::SetInstance(new CTovrinApp(program));
  return wxEntry(argc, argv);
}

}  // namespace tovrin
