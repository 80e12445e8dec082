#include "tests/wine_gui/windows_program.hpp"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <sstream>
#include <string_view>
#include <thread>

#include "tests/x_display/x_devices.hpp"

extern char** environ;

namespace tovrin::testing {
namespace {

namespace fs = std::filesystem;

const fs::path kSource = TOVRIN_SOURCE_DIR;
const fs::path kBuild = kSource / "build-windows";
const fs::path kPrefix = kBuild / "wine-prefix";
const fs::path kHelpers = kBuild / "tests" / "windows";

// A helper of the Windows build run in the prefix, as a shell command.
std::string HelperCommand(const std::string& helper, const std::string& arguments) {
  return ShellQuoted((kSource / "scripts" / "wine-run.sh").string()) + " " +
         ShellQuoted(kPrefix.string()) + " " + ShellQuoted((kHelpers / helper).string()) + " " +
         arguments;
}

std::string WindowsPath(const fs::path& host) {
  std::string path = "Z:" + host.string();
  for (char& c : path) c = c == '/' ? '\\' : c;
  return path;
}

pid_t Spawn(const std::vector<std::string>& command) {
  std::vector<std::string> line = {(kSource / "scripts" / "wine-run.sh").string(),
                                   kPrefix.string()};
  line.insert(line.end(), command.begin(), command.end());
  std::vector<char*> argv;
  for (std::string& part : line) argv.push_back(part.data());
  argv.push_back(nullptr);
  pid_t pid = -1;
  if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return -1;
  return pid;
}

// Waits until the prefix's Wine server, idle since the last program, has
// ended: a program started while it stops can be killed without a word.
void WaitForIdleServerToEnd() {
  std::string prefix = "WINEPREFIX=" + kPrefix.string();
  char env[] = "env";
  char server[] = "wineserver";
  char wait[] = "--wait";
  char* argv[] = {env, prefix.data(), server, wait, nullptr};
  pid_t pid = -1;
  if (posix_spawnp(&pid, env, nullptr, nullptr, argv, environ) == 0) ::waitpid(pid, nullptr, 0);
}

void Sleep(int milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

// The medium on a floppy drive, as the update's disks come.
void MountMediumAsFloppy() {
  const fs::path drive = kPrefix / "dosdevices" / "a:";
  std::error_code ignored;
  fs::remove(drive, ignored);
  fs::create_directory_symlink(kSource / "examples" / "medium", drive);
  RunInPrefix({"reg", "add", "HKLM\\Software\\Wine\\Drives", "/v", "a:", "/d", "floppy", "/f"});
}

}  // namespace

int RunInPrefix(const std::vector<std::string>& command) {
  const pid_t pid = Spawn(command);
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

WindowsProgram::WindowsProgram() : product_(kPrefix / "drive_c" / "VELSOR") {
  WaitForIdleServerToEnd();
  RunInPrefix({"cmd", "/c", "exit", "0"});  // the prefix made, drive C: there
  fs::remove_all(product_);
  fs::copy(kSource / "examples" / "product" / "drive_c" / "VELSOR", product_,
           fs::copy_options::recursive);
  MountMediumAsFloppy();
}

WindowsProgram::~WindowsProgram() {
  if (pid_ > 0 && WaitForExit(0) < 0) {
    ::kill(pid_, SIGTERM);
    ::waitpid(pid_, nullptr, 0);
  }
}

void WindowsProgram::Start(const std::vector<std::string>& extra) {
  std::vector<std::string> command = {
      (kBuild / "tovrin.exe").string(), "--medium", "A:\\", "--registry",
      WindowsPath(kSource / "examples" / "product" / "uninstall.reg")};
  command.insert(command.end(), extra.begin(), extra.end());
  pid_ = Spawn(command);
}

int WindowsProgram::WaitForExit(int seconds) {
  for (int waited = 0; pid_ > 0; waited += 100) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    if (waited >= seconds * 1000) return -1;
    Sleep(100);
  }
  return -1;
}

std::vector<ShownWindow> ShownWindows() {
  std::istringstream output(CommandOutput(HelperCommand("window_probe.exe", "texts")));
  std::vector<ShownWindow> windows;
  for (std::string line; std::getline(output, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.starts_with('\t')) {
      if (!windows.empty()) windows.back().texts.push_back(line.substr(1));
    } else {
      windows.push_back({line, {}});
    }
  }
  return windows;
}

std::vector<std::string> TextsOf(const std::string& title) {
  std::vector<std::string> texts;
  for (const ShownWindow& window : ShownWindows()) {
    if (window.title == title) texts.insert(texts.end(), window.texts.begin(), window.texts.end());
  }
  return texts;
}

bool PostCommand(int id) {
  return std::system(HelperCommand("window_probe.exe", "command " + std::to_string(id)).c_str()) ==
         0;
}

std::vector<unsigned long> VisibleWindows(const std::string& title) {
  // xdotool matches a regular expression: the title's own brackets are letters.
  std::string pattern = "^";
  for (const char c : title) {
    if (std::string_view("\\^$.|?*+()[]{}").find(c) != std::string_view::npos) pattern += '\\';
    pattern += c;
  }
  std::istringstream found(CommandOutput("xdotool search --onlyvisible --name " +
                                         ShellQuoted(pattern + "$") + " 2>/dev/null"));
  std::vector<unsigned long> windows;
  for (unsigned long window = 0; found >> window;) windows.push_back(window);
  return windows;
}

unsigned long WaitForWindow(const std::string& title, int seconds,
                            const std::vector<unsigned long>& before) {
  for (int waited = 0; waited <= seconds * 1000; waited += 100) {
    for (const unsigned long window : VisibleWindows(title)) {
      if (std::find(before.begin(), before.end(), window) == before.end()) return window;
    }
    Sleep(100);
  }
  return 0;
}

bool WaitUntilGone(unsigned long window, int seconds) {
  for (int waited = 0; waited <= seconds * 1000; waited += 100) {
    const std::string visible =
        CommandOutput("xdotool search --onlyvisible --name '.*' 2>/dev/null");
    std::istringstream found(visible);
    bool shown = false;
    for (unsigned long each = 0; found >> each;) shown = shown || each == window;
    if (!shown) return true;
    Sleep(100);
  }
  return false;
}

ScreenRect Geometry(unsigned long window) {
  std::istringstream shell(
      CommandOutput("xdotool getwindowgeometry --shell " + std::to_string(window)));
  ScreenRect rect;
  for (std::string line; std::getline(shell, line);) {
    const auto equals = line.find('=');
    if (equals == std::string::npos) continue;
    const std::string name = line.substr(0, equals);
    const int value = std::atoi(line.c_str() + equals + 1);
    if (name == "X") rect.x = value;
    if (name == "Y") rect.y = value;
    if (name == "WIDTH") rect.width = value;
    if (name == "HEIGHT") rect.height = value;
  }
  return rect;
}

ScreenRect Screen() {
  std::istringstream size(CommandOutput("xdotool getdisplaygeometry"));
  ScreenRect rect;
  size >> rect.width >> rect.height;
  return rect;
}

}  // namespace tovrin::testing
