// What the tests of the Windows wizard cannot learn from X: the texts of
// its windows, and a command no key sends.
//   window_probe.exe texts      each visible top-level window's title, then
//                               each of its controls' texts after a tab, UTF-8
//   window_probe.exe command N  posts WM_COMMAND N to the wizard's main window
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/win32/windows_api.hpp"

namespace {

// Through WM_GETTEXT, which reaches another process's controls.
std::string Utf8Text(HWND window) {
  wchar_t text[1024] = L"";
  SendMessageTimeoutW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                      2000, nullptr);
  std::wstring wide(text);
  for (wchar_t& c : wide) c = (c == L'\r' || c == L'\n' || c == L'\t') ? L' ' : c;
  if (wide.empty()) return "";
  std::string utf8(wide.size() * 4, '\0');
  utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                  utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr));
  return utf8;
}

BOOL CALLBACK PrintControl(HWND control, LPARAM) {
  if (IsWindowVisible(control)) std::printf("\t%s\n", Utf8Text(control).c_str());
  return TRUE;
}

BOOL CALLBACK PrintWindow(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  std::printf("%s\n", Utf8Text(window).c_str());
  EnumChildWindows(window, &PrintControl, 0);
  return TRUE;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "texts") == 0) {
    EnumWindows(&PrintWindow, 0);
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "command") == 0) {
    const HWND main = FindWindowW(L"TovrinMainFrame", nullptr);
    if (main == nullptr) return 1;
    return PostMessageW(main, WM_COMMAND, static_cast<WPARAM>(std::atoi(argv[2])), 0) ? 0 : 1;
  }
  return 2;
}
