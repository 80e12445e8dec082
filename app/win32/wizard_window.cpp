#include "app/win32/wizard_window.hpp"

#include <memory>
#include <vector>

#include "app/about_dlg.hpp"
#include "app/tovrin_doc.hpp"
#include "app/unattended_run.hpp"
#include "app/win32/worker_run_host.hpp"
#include "description/update_description.hpp"
#include "platform/message_queue.hpp"
#include "hosts/win32/dialog_host.hpp"
#include "hosts/win32/paint_surface.hpp"
#include "hosts/win32/user_interface.hpp"
#include "platform/win32/wide_text.hpp"
#include "resources/accelerator_table.hpp"
#include "resources/resource_ids.hpp"
#include "wizard/tovrin_view.hpp"
#include "platform/win32/windows_api.hpp"

namespace tovrin {
namespace {

constexpr wchar_t kWindowClass[] = L"TovrinMainFrame";
constexpr WORD kProgramIcon = 1;

class WizardWindow : public MessageTarget {
 public:
  explicit WizardWindow(ProgramAssembly& program)
      : program_(program),
        platform_(program.PlatformFor(ui_)),
        dialogs_(&queue_) {}
  ~WizardWindow() override {
    if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
  }

  int Run() {
    if (!Create()) return kExitFailed;
    MSG message;
    for (;;) {
      while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) return program_.ExitStatus();
        if (TranslateAcceleratorW(window_, accelerators_, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
      }
      // One posted message at a time: a page opened by one runs its own
      // loop, in which the rest go on being dispatched.
      if (!queue_.DispatchOne()) WaitMessage();
    }
  }

  void OnMessage(unsigned message, int wParam) override {
    if (message == WM_CLOSE) {
      DestroyWindow(window_);
      return;
    }
    if (message == WM_COMMAND && wParam == ID_SET_TITLE) {
      const auto title = ReadInfoTitle(platform_.files, platform_.mediumFolder + "info.txt");
      SetWindowTextW(window_, win32::WideFromCp932(title).value_or(L"Tovrin").c_str());
    }
  }

 private:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(creation->lpCreateParams));
    }
    auto* self = reinterpret_cast<WizardWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    return self->Handle(window, message, wParam, lParam);
  }

  bool Create() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    // The picture is scaled to the whole window: redrawn whole on any size.
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = &WizardWindow::Procedure;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIcon));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = kWindowClass;
    RegisterClassExW(&windowClass);
    // A caption and a thin border, no menu or system menu. Made the size of
    // the work area from the start: a window manager may not maximize a
    // window that cannot be resized, and `start` would place a default
    // sized one anywhere.
    RECT workArea{0, 0, CW_USEDEFAULT, CW_USEDEFAULT};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &workArea, 0);
    window_ = CreateWindowExW(0, kWindowClass, L"Tovrin", WS_CAPTION | WS_BORDER, workArea.left,
                              workArea.top, workArea.right - workArea.left,
                              workArea.bottom - workArea.top, nullptr, nullptr, instance, this);
    if (window_ == nullptr) return false;
    ui_.SetMainWindow(window_);
    dialogs_.SetMainWindow(window_);
    InstallAccelerators();
    document_.OnNewDocument();
    view_ = std::make_unique<CTovrinView>(platform_, program_.Archives(),
                                          program_.DialogsOver(dialogs_), queue_, *this);
    runHost_ = std::make_unique<WorkerRunHost>(window_);
    program_.WireRuns(*view_, runHost_.get());
    // The update run's boxes name the view as their owner.
    ui_.SetOwnerWindow(view_.get(), window_);
    view_->OnCreate();
    ShowWindow(window_, SW_SHOWMAXIMIZED);
    UpdateWindow(window_);
    queue_.PostMessage(*this, WM_COMMAND, ID_SET_TITLE);
    return true;
  }

  void InstallAccelerators() {
    std::vector<ACCEL> entries;
    for (const Accelerator& accelerator : AcceleratorTable()) {
      BYTE flags = FVIRTKEY;
      if (accelerator.control) flags |= FCONTROL;
      if (accelerator.shift) flags |= FSHIFT;
      if (accelerator.alt) flags |= FALT;
      entries.push_back(
          {flags, static_cast<WORD>(accelerator.key), static_cast<WORD>(accelerator.command)});
    }
    accelerators_ = CreateAcceleratorTableW(entries.data(), static_cast<int>(entries.size()));
  }

  LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_PAINT: {
        PAINTSTRUCT paint;
        const HDC context = BeginPaint(window, &paint);
        RECT client;
        GetClientRect(window, &client);
        Win32PaintSurface surface(context, {client.left, client.top, client.right, client.bottom});
        if (view_) view_->OnPaint(surface);
        EndPaint(window, &paint);
        return 0;
      }
      case WM_COMMAND:
        // New re-initialises the empty document; the other keys' commands
        // have nothing to act on in a document that holds nothing.
        if (LOWORD(wParam) == ID_FILE_NEW) document_.OnNewDocument();
        if (LOWORD(wParam) == ID_APP_ABOUT) {
          CAboutDlg about;
          dialogs_.DoModal(about);
        }
        return 0;
      case WM_SETCURSOR:
        // Over the whole window while an update runs, its caption included.
        if (runHost_ == nullptr || !runHost_->Running())
          return DefWindowProcW(window, message, wParam, lParam);
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        return TRUE;
      case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
      default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
  }

  ProgramAssembly& program_;
  Win32UserInterface ui_;
  Platform& platform_;
  MessageQueue queue_;
  Win32DialogHost dialogs_;
  CTovrinDoc document_;
  std::unique_ptr<CTovrinView> view_;
  std::unique_ptr<WorkerRunHost> runHost_;
  HWND window_ = nullptr;
  HACCEL accelerators_ = nullptr;
};

}  // namespace

int RunWizard(ProgramAssembly& program) {
  WizardWindow window(program);
  return window.Run();
}

}  // namespace tovrin
