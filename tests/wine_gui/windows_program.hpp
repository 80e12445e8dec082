#pragma once
// tovrin.exe of the Windows build started under Wine in the build's prefix,
// over the sample product at C:\VELSOR and the sample medium on a floppy
// drive A: (so that the second disk is asked for), and its windows as X
// windows.

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace tovrin::testing {

struct ScreenRect {
  int x = 0, y = 0, width = 0, height = 0;
};

class WindowsProgram {
 public:
  // A fresh copy of the sample product.
  WindowsProgram();
  ~WindowsProgram();
  WindowsProgram(const WindowsProgram&) = delete;
  WindowsProgram& operator=(const WindowsProgram&) = delete;

  // Starts the wizard with `extra` after the medium and registry options.
  void Start(const std::vector<std::string>& extra = {});
  // The exit status once the program ended within `seconds`; -1 if not.
  int WaitForExit(int seconds);

  const std::filesystem::path& Product() const { return product_; }

 private:
  std::filesystem::path product_;
  pid_t pid_ = -1;
};

// A Wine command in the tests' prefix, run to its end.
int RunInPrefix(const std::vector<std::string>& command);

// A visible top-level Windows window: its title and its controls' texts,
// read through Windows itself (X knows only the title).
struct ShownWindow {
  std::string title;
  std::vector<std::string> texts;
};
std::vector<ShownWindow> ShownWindows();
// The texts of the visible windows with this title, all in one list.
std::vector<std::string> TextsOf(const std::string& title);
// Posts the command `id` to the wizard's main window, as no key does.
bool PostCommand(int id);

// The visible X windows with exactly this title, oldest first.
std::vector<unsigned long> VisibleWindows(const std::string& title);
// The first such window to show within `seconds` that is not in `before`;
// 0 when none did.
unsigned long WaitForWindow(const std::string& title, int seconds,
                            const std::vector<unsigned long>& before = {});
// True once `window` is no longer visible, within `seconds`.
bool WaitUntilGone(unsigned long window, int seconds);
ScreenRect Geometry(unsigned long window);
ScreenRect Screen();

}  // namespace tovrin::testing
