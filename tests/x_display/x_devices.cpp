#include "tests/x_display/x_devices.hpp"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tovrin::testing {
namespace {

void Run(const std::string& command) {
  if (std::system(command.c_str()) != 0) std::fprintf(stderr, "failed: %s\n", command.c_str());
}

}  // namespace

std::string ShellQuoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string CommandOutput(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  std::string output;
  if (!pipe) return output;
  char buffer[256];
  while (const std::size_t read = std::fread(buffer, 1, sizeof buffer, pipe.get()))
    output.append(buffer, read);
  return output;
}

void ClickAt(int x, int y) {
  Run("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y) + " click 1");
}

void MovePointerTo(int x, int y) {
  Run("xdotool mousemove --sync " + std::to_string(x) + " " + std::to_string(y));
}

void PressKeys(const std::string& keys) { Run("xdotool key --delay 60 " + keys); }

void TypeText(const std::string& text) { Run("xdotool type --delay 60 " + ShellQuoted(text)); }

unsigned long ActiveWindow() {
  return std::strtoul(CommandOutput("xdotool getactivewindow 2>/dev/null").c_str(), nullptr, 10);
}

}  // namespace tovrin::testing
