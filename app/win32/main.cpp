// The Windows program, both the GUI one (tovrin.exe) and its console twin
// (tovrin.com). Arguments arrive as wide text and are handed on as UTF-8,
// and standard output is UTF-8 with LF line ends, as on Linux.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/program_entry.hpp"
#include "app/win32/wizard_window.hpp"
#include "platform/win32/wide_text.hpp"
#include "platform/win32/windows_api.hpp"

#include <shellapi.h>

namespace {

std::vector<std::string> Utf8Arguments() {
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> arguments;
  for (int i = 1; wide != nullptr && i < count; ++i) {
    arguments.push_back(tovrin::win32::Utf8FromWide(wide[i]).value_or(std::string()));
  }
  LocalFree(wide);
  return arguments;
}

// tovrin.exe typed at a command prompt with nothing redirected has no
// standard output: what is not the wizard writes to that prompt's console.
// The wizard stays apart from it, so that a Ctrl+C there cannot end a run.
void WriteToTheConsoleStartedFrom() {
  if (GetStdHandle(STD_OUTPUT_HANDLE) != nullptr || GetStdHandle(STD_ERROR_HANDLE) != nullptr)
    return;
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  std::freopen("CONOUT$", "w", stdout);
  std::freopen("CONOUT$", "w", stderr);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
}

int Run(const std::vector<std::string>& given) {
  using namespace tovrin;
  const std::vector<std::string_view> arguments(given.begin(), given.end());
  const auto parsed = ParseCommandLine(arguments);
  if (!parsed.options || parsed.options->action != CommandLineOptions::Action::Wizard) {
    WriteToTheConsoleStartedFrom();
  }
  if (const auto answered = AnswerWithoutServices(parsed)) return *answered;
  const CommandLineOptions& options = *parsed.options;
  if (options.action == CommandLineOptions::Action::ShowDrives ||
      options.action == CommandLineOptions::Action::ResolvePath) {
    std::cerr << "tovrin: --drives and --resolve show the Linux program's drive table\n";
    return kBadCommandLineStatus;
  }
  int status = 0;
  const auto program = AssembleProgram(
      options, arguments, {std::cout, std::cerr, _isatty(_fileno(stderr)) != 0}, status);
  if (!program) return status;
  return RunProgram(options, *program, [&] { return RunWizard(*program); });
}

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  return Run(Utf8Arguments());
}
