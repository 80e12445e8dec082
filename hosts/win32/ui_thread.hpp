#pragma once
// The thread the wizard's windows live on, reached through a message-only
// window of its own: every loop of the thread, a box's included, dispatches
// what is posted to it.

#include "hosts/ui_thread/ui_thread.hpp"

namespace tovrin {

class Win32UiThread : public UiThread {
 public:
  // Made on the thread it stands for.
  Win32UiThread();
  ~Win32UiThread() override;
  Win32UiThread(const Win32UiThread&) = delete;
  Win32UiThread& operator=(const Win32UiThread&) = delete;

  bool IsCurrent() const override;
  void Post(std::function<void()> call) override;

 private:
  void* window_ = nullptr;  // HWND
  unsigned long threadId_;
};

}  // namespace tovrin
