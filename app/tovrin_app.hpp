#pragma once
// The application object of the wizard: the frame, its view and the pages
// on screen, driven by the program's own message queue.

#include <memory>

#include <wx/app.h>

#include "app/program_assembly.hpp"
#include "app/worker_run_host.hpp"
#include "hosts/wx/dialog_host.hpp"
#include "hosts/wx/user_interface.hpp"
#include "platform/message_queue.hpp"

namespace tovrin {

class CMainFrame;

class CTovrinApp : public wxApp {
 public:
  explicit CTovrinApp(ProgramAssembly& program);

  // Creates and shows the main frame; its view posts the first page.
  bool OnInit() override;
  // The window system's loop; the exit status of the wizard's last run, as
  // the unattended run would end with it.
  int OnRun() override;
  void OnAppAbout();  // command 57664

  CMainFrame* MainFrame() const { return frame_; }
  MessageQueue& Queue() { return queue_; }
  gui::WxUserInterface& UserInterface() { return ui_; }

 private:
  ProgramAssembly& program_;
  gui::WxUserInterface ui_;
  MessageQueue queue_;
  gui::WxDialogHost dialogs_;
  CMainFrame* frame_ = nullptr;
  std::unique_ptr<WorkerRunHost> runHost_;
};

// True when a window system is there to show the wizard on.
bool HasDisplay();

// Runs the wizard on the display: the font alias, then the window system's
// loop until the frame closes. The program's exit status.
int RunWizard(int argc, char** argv, ProgramAssembly& program);

}  // namespace tovrin
