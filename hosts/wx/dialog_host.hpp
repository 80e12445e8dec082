#pragma once
// The wizard's dialog host: each page built from its template in resources/
// and run modally on screen.

#include <wx/window.h>

#include "platform/dialog_host.hpp"
#include "platform/message_queue.hpp"

namespace tovrin::gui {

class WxDialogHost : public DialogHost {
 public:
  // `queue`, when given, is dispatched while a page is open.
  explicit WxDialogHost(MessageQueue* queue) : queue_(queue) {}
  // The window that owns every page, as the main window owns a modal
  // dialog on Windows: the window manager keeps pages above it. Without
  // one, the application's top window.
  void SetOwner(wxWindow* owner) { owner_ = owner; }
  int DoModal(DialogPage& page) override;

 private:
  MessageQueue* queue_;
  wxWindow* owner_ = nullptr;
};

}  // namespace tovrin::gui
