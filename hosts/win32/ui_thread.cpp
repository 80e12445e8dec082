#include "hosts/win32/ui_thread.hpp"

#include <memory>

#include "platform/win32/windows_api.hpp"

namespace tovrin {
namespace {

constexpr wchar_t kWindowClass[] = L"TovrinUiThreadCalls";
constexpr UINT kPostedCall = WM_APP + 1;

LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kPostedCall) return DefWindowProcW(window, message, wParam, lParam);
  const std::unique_ptr<std::function<void()>> call(
      reinterpret_cast<std::function<void()>*>(lParam));
  (*call)();
  return 0;
}

HWND CreateCallWindow() {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &Procedure;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = kWindowClass;
  RegisterClassExW(&windowClass);  // fails harmlessly when registered already
  return CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                         nullptr);
}

}  // namespace

Win32UiThread::Win32UiThread() : window_(CreateCallWindow()), threadId_(GetCurrentThreadId()) {}

Win32UiThread::~Win32UiThread() {
  // Calls still queued are run now rather than lost with their window.
  MSG message;
  while (PeekMessageW(&message, static_cast<HWND>(window_), kPostedCall, kPostedCall, PM_REMOVE)) {
    DispatchMessageW(&message);
  }
  DestroyWindow(static_cast<HWND>(window_));
}

bool Win32UiThread::IsCurrent() const { return GetCurrentThreadId() == threadId_; }

void Win32UiThread::Post(std::function<void()> call) {
  auto posted = std::make_unique<std::function<void()>>(std::move(call));
  if (PostMessageW(static_cast<HWND>(window_), kPostedCall, 0,
                   reinterpret_cast<LPARAM>(posted.get()))) {
    posted.release();
  }
}

}  // namespace tovrin
