#pragma once
// The dialog host of the wizard on Windows: each page a modal dialog made by
// DialogBoxIndirectParamW from the page's template, the page's logic called
// as the dialog's message map would call it. While a page is open, the
// program's posted messages go on being dispatched.

#include "platform/dialog_host.hpp"
#include "platform/message_queue.hpp"

namespace tovrin {

class Win32DialogHost : public DialogHost {
 public:
  explicit Win32DialogHost(MessageQueue* queue) : queue_(queue) {}
  // The owner of pages opened while no other page is active (an HWND).
  void SetMainWindow(void* window) { mainWindow_ = window; }

  int DoModal(DialogPage& page) override;

 private:
  MessageQueue* queue_;
  void* mainWindow_ = nullptr;
};

}  // namespace tovrin
