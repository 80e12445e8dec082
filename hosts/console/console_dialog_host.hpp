#pragma once
// The pages of the unattended run, answered as a user who accepts them:
// "開始", then "次へ" with the path field as the lookup left it, then
// "更新". The confirm page prints its destination.

#include <ostream>

#include "platform/dialog_host.hpp"
#include "platform/message_queue.hpp"

namespace tovrin {

class ConsoleDialogHost : public DialogHost {
 public:
  // `queue`, when given, is dispatched while a page is open, as a modal
  // page's own loop does.
  ConsoleDialogHost(std::ostream& out, MessageQueue* queue) : out_(out), queue_(queue) {}

  // After "更新" a page that opens again means the run refused the folder;
  // nobody is there to choose another, so it is closed as with Esc.
  int DoModal(DialogPage& page) override;

 private:
  std::ostream& out_;
  MessageQueue* queue_;
  bool updateStarted_ = false;
};

}  // namespace tovrin
