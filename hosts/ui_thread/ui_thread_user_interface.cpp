#include "hosts/ui_thread/ui_thread_user_interface.hpp"

namespace tovrin {

int UiThreadUserInterface::MessageBox(WindowHandle owner, const std::string& text,
                                      const std::string& caption, unsigned type) {
  int answer = IDCANCEL;
  thread_.Call([&] {
    const WindowHandle other = framing_.before ? framing_.before(type, text) : nullptr;
    answer = shown_.MessageBox(other != nullptr ? other : owner, text, caption, type);
    if (framing_.after) framing_.after(type);
  });
  return answer;
}

void UiThreadUserInterface::BeginWaitCursor() {
  thread_.Call([this] { shown_.BeginWaitCursor(); });
}

void UiThreadUserInterface::EndWaitCursor() {
  thread_.Call([this] { shown_.EndWaitCursor(); });
}

}  // namespace tovrin
