#pragma once
// The wizard controller: owns the update description and leads the user
// from page to page through commands it posts to itself. Each command opens
// one modal page; its result decides the next command, or closes the frame.

#include <vector>

#include "archive/archive_library.hpp"
#include "description/update_description.hpp"
#include "engine/observed_file_system.hpp"
#include "engine/run_events.hpp"
#include "engine/update_run.hpp"
#include "picture/remembered_picture.hpp"
#include "platform/dialog_host.hpp"
#include "platform/journal_files.hpp"
#include "platform/message_queue.hpp"
#include "platform/platform.hpp"
#include "wizard/update_run_host.hpp"

namespace tovrin {

class CTovrinView : public MessageTarget {
 public:
  // `frame` receives WM_CLOSE when the wizard is over.
  CTovrinView(Platform& platform, ArchiveLibrary& archives, DialogHost& dialogs,
              MessageQueue& queue, MessageTarget& frame);

  // Reads info.txt from the medium and posts the first page's command.
  int OnCreate();
  void OnMessage(unsigned message, int wParam) override;

  void OnWizardNotice();       // command 101
  void OnWizardDestination();  // command 102
  void OnWizardConfirm();      // command 103
  // Paints line 22's picture over the view; the last one read while its
  // file cannot be read (its disk taken out).
  void OnPaint(PaintSurface& surface);

  // Update runs watch their changes to the product through `files`, the
  // file system of the platform and of the archive library.
  void ObserveRunsThrough(ObservedFileSystem& files) { observedFiles_ = &files; }
  // Where update runs keep their journals; the host's own by default.
  void KeepJournalsWith(JournalFiles& store) { journalFiles_ = &store; }
  // The keys update runs trust besides those of the product's folder.
  void TrustKeys(const TrustedKeys& keys) { trustedKeys_ = keys; }
  // Tells `listener` what every later update run does.
  void AddRunListener(RunEvents& listener) { runListeners_.push_back(&listener); }

  // The update run on this view's description, through the run host (else
  // in place): 1 when it has ended for good.
  int RunUpdate();
  void SetRunHost(UpdateRunHost& host) { runHost_ = &host; }

  UpdateDescription& Description() { return description_; }
  const UpdateDescription& Description() const { return description_; }
  // How the last update run ended (NotRun before the first).
  UpdateOutcome LastOutcome() const { return lastOutcome_; }
  int m_nProductNo = -1;

 private:
  void PostCommand(int command);
  void CloseFrame();

  Platform& platform_;
  ArchiveLibrary& archives_;
  DialogHost& dialogs_;
  MessageQueue& queue_;
  MessageTarget& frame_;
  UpdateDescription description_;
  RememberedPicture picture_;
  UpdateOutcome lastOutcome_ = UpdateOutcome::NotRun;
  bool updateRan_ = false;
  ObservedFileSystem* observedFiles_ = nullptr;
  JournalFiles* journalFiles_ = nullptr;
  TrustedKeys trustedKeys_;
  std::vector<RunEvents*> runListeners_;
  InPlaceRunHost inPlace_;
  UpdateRunHost* runHost_ = &inPlace_;
};

}  // namespace tovrin
