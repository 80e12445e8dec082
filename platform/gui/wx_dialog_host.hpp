#pragma once
// The wizard's dialog host: each page built from its template in resources/
// and run modally on screen.

#include <wx/window.h>

#include "platform/dialog_host.hpp"
#include "platform/message_queue.hpp"

namespace tovrin::gui {

class WxDialogHost : public DialogHost {
 public:
  // `queue`, when given, is dispatched while a page is open. Pages have no
  // parent of their own: wxWidgets makes them transient for the main window.
  explicit WxDialogHost(MessageQueue* queue) : queue_(queue) {}
  int DoModal(DialogPage& page) override;

 private:
  MessageQueue* queue_;
};

}  // namespace tovrin::gui
