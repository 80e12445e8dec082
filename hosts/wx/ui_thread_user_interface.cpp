#include "hosts/wx/ui_thread_user_interface.hpp"

#include <exception>
#include <future>

#include <wx/app.h>
#include <wx/thread.h>

namespace tovrin::gui {

void CallOnUiThread(const std::function<void()>& call) {
  if (wxIsMainThread()) {
    call();
    return;
  }
  std::promise<void> done;
  // Pending calls are taken by whichever loop runs, a box's own included.
  wxTheApp->CallAfter([&call, &done] {
    try {
      call();
      done.set_value();
    } catch (...) {
      done.set_exception(std::current_exception());
    }
  });
  done.get_future().get();
}

int UiThreadUserInterface::MessageBox(WindowHandle owner, const std::string& text,
                                      const std::string& caption, unsigned type) {
  int answer = IDCANCEL;
  CallOnUiThread([&] {
    const WindowHandle other = framing_.before ? framing_.before(type, text) : nullptr;
    answer = shown_.MessageBox(other != nullptr ? other : owner, text, caption, type);
    if (framing_.after) framing_.after(type);
  });
  return answer;
}

void UiThreadUserInterface::BeginWaitCursor() {
  CallOnUiThread([this] { shown_.BeginWaitCursor(); });
}

void UiThreadUserInterface::EndWaitCursor() {
  CallOnUiThread([this] { shown_.EndWaitCursor(); });
}

}  // namespace tovrin::gui
