#include "hosts/ui_thread/ui_thread_user_interface.hpp"

namespace tovrin {

int UiThreadUserInterface::MessageBox(WindowHandle owner, const std::string& text,
                                      const std::string& caption, unsigned type) {
  int answer = IDCANCEL;
  thread_.Call([&] {
    if (beforeBox_) beforeBox_(type);
    answer = shown_.MessageBox(owner, text, caption, type);
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
