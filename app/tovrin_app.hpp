#pragma once
// The application object of the wizard: the frame, its view and the pages
// on screen, driven by the program's own message queue.

#include <memory>
#include <optional>
#include <string>

#include <wx/app.h>

#include "app/worker_run_host.hpp"
#include "archive/archive_library.hpp"
#include "engine/observed_file_system.hpp"
#include "engine/run_events.hpp"
#include "engine/update_run.hpp"
#include "hosts/wx/dialog_host.hpp"
#include "hosts/wx/user_interface.hpp"
#include "platform/message_queue.hpp"
#include "platform/platform.hpp"
#include "platform/registry.hpp"

namespace tovrin {

class CMainFrame;

// How the last update run ended (NotRun until one ends).
class LastOutcome : public RunEvents {
 public:
  void RunEnded(UpdateOutcome outcome) override { outcome_ = outcome; }
  UpdateOutcome Outcome() const { return outcome_; }

 private:
  UpdateOutcome outcome_ = UpdateOutcome::NotRun;
};

// What the command line set up before the window system starts.
struct WizardServices {
  ObservedFileSystem& files;
  Registry& registry;
  ArchiveLibrary& archives;
  RunEvents& events;
  std::optional<std::string> typedDestination;  // --dest
};

class CTovrinApp : public wxApp {
 public:
  explicit CTovrinApp(WizardServices services);

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
  WizardServices services_;
  gui::WxUserInterface ui_;
  Platform platform_;
  MessageQueue queue_;
  gui::WxDialogHost dialogs_;
  CMainFrame* frame_ = nullptr;
  std::unique_ptr<WorkerRunHost> runHost_;
  LastOutcome lastOutcome_;
};

// True when a window system is there to show the wizard on.
bool HasDisplay();

// Runs the wizard on the display: the font alias, then the window system's
// loop until the frame closes. The program's exit status.
int RunWizard(int argc, char** argv, WizardServices services);

}  // namespace tovrin
