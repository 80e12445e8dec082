#include "app/win32/progress_window.hpp"

#include <cstdint>
#include <vector>

#include "hosts/win32/memory_dialog_template.hpp"
#include "platform/win32/wide_text.hpp"
#include "resources/dialog_templates.hpp"
#include "resources/resource_ids.hpp"
#include "platform/win32/windows_api.hpp"

#include <commctrl.h>

namespace tovrin {

constexpr UINT_PTR kTicker = 1;
constexpr int kBarRange = 1000;  // thousandths

struct ProgressWindowProcedure {
  static INT_PTR CALLBACK Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(window, DWLP_USER, lParam);
    auto* self = reinterpret_cast<ProgressWindow*>(GetWindowLongPtrW(window, DWLP_USER));
    switch (message) {
      case WM_INITDIALOG:
        SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETRANGE32, 0, kBarRange);
        SetTimer(window, kTicker, kProgressTickMilliseconds, nullptr);
        return FALSE;
      case WM_TIMER:
        if (self != nullptr && wParam == kTicker) self->OnTick();
        return TRUE;
      case WM_SETCURSOR:
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        SetWindowLongPtrW(window, DWLP_MSGRESULT, TRUE);
        return TRUE;
      // No close box, and neither Esc nor the window manager closes it.
      case WM_CLOSE:
        return TRUE;
      case WM_COMMAND:
        return LOWORD(wParam) == IDCANCEL ? TRUE : FALSE;
      case WM_DESTROY:
        KillTimer(window, kTicker);
        return FALSE;
      default:
        return FALSE;
    }
  }
};

ProgressWindow::ProgressWindow(void* mainWindow) : startedAt_(GetTickCount64()) {
  const INITCOMMONCONTROLSEX bar{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&bar);
  const std::vector<std::uint16_t> memory =
      BuildMemoryDialogTemplate(LoadDialogTemplate(IDD_PROGRESS));
  window_ = CreateDialogIndirectParamW(
      GetModuleHandleW(nullptr), reinterpret_cast<const DLGTEMPLATE*>(memory.data()),
      static_cast<HWND>(mainWindow), &ProgressWindowProcedure::Handle,
      reinterpret_cast<LPARAM>(this));
  if (window_ == nullptr) return;
  wchar_t working[256] = L"";
  GetDlgItemTextW(static_cast<HWND>(window_), IDC_PROGRESS_STATE, working, 256);
  working_ = working;
}

ProgressWindow::~ProgressWindow() {
  if (window_ != nullptr) DestroyWindow(static_cast<HWND>(window_));
}

void ProgressWindow::PutAway() {
  putAway_ = true;
  if (window_ != nullptr) ShowWindow(static_cast<HWND>(window_), SW_HIDE);
}

void ProgressWindow::WaitFor(const std::string& text) {
  if (putAway_ || window_ == nullptr) return;
  SetDlgItemTextW(static_cast<HWND>(window_), IDC_PROGRESS_STATE,
                  win32::WideFromCp932(text).value_or(L"").c_str());
  // Shown before the prompt, so that it never comes up over it.
  OnTick();
  ShowWindow(static_cast<HWND>(window_), SW_SHOW);
  UpdateWindow(static_cast<HWND>(window_));
}

void ProgressWindow::WaitNoMore() {
  if (window_ != nullptr)
    SetDlgItemTextW(static_cast<HWND>(window_), IDC_PROGRESS_STATE, working_.c_str());
}

void ProgressWindow::OnTick() {
  if (putAway_) return;
  const auto window = static_cast<HWND>(window_);
  const ProgressSnapshot now = progress_.Snapshot();
  if (now.source != shown_.source) {
    SetDlgItemTextW(window, IDC_PROGRESS_SOURCE,
                    win32::WideFromCp932(now.source).value_or(L"").c_str());
  }
  if (now.targetFolder != shown_.targetFolder) {
    SetDlgItemTextW(window, IDC_PROGRESS_FOLDER,
                    win32::WideFromCp932(now.targetFolder).value_or(L"").c_str());
  }
  if (now.Permille() != shown_.Permille()) {
    SendDlgItemMessageW(window, IDC_PROGRESS_BAR, PBM_SETPOS, static_cast<WPARAM>(now.Permille()),
                        0);
  }
  shown_ = now;
  if (!IsWindowVisible(window) &&
      GetTickCount64() - startedAt_ >= kProgressShownAfterMilliseconds) {
    ShowWindow(window, SW_SHOW);
  }
}

}  // namespace tovrin
