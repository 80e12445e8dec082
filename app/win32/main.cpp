// The Windows program. Arguments arrive as wide text and are handed on as
// UTF-8, and standard output is UTF-8 with LF line ends, as on Linux.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.hpp"
#include "app/program_services.hpp"
#include "app/unattended_run.hpp"
#include "app/undo_command.hpp"
#include "app/win32/wizard_window.hpp"
#include "platform/journal_files.hpp"
#include "platform/visible_text.hpp"
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

int Run(const std::vector<std::string>& given) {
  using namespace tovrin;
  const std::vector<std::string_view> arguments(given.begin(), given.end());
  const auto parsed = ParseCommandLine(arguments);
  if (!parsed.options) {
    std::cerr << "tovrin: " << VisibleText(parsed.error) << "\n" << Usage();
    return kBadCommandLineStatus;
  }
  const CommandLineOptions& options = *parsed.options;
  switch (options.action) {
    case CommandLineOptions::Action::Help:
      std::cout << Usage();
      return EXIT_SUCCESS;
    case CommandLineOptions::Action::Version:
      std::cout << "tovrin " << TOVRIN_VERSION << "\n";
      return EXIT_SUCCESS;
    case CommandLineOptions::Action::ShowDrives:
    case CommandLineOptions::Action::ResolvePath:
      std::cerr << "tovrin: --drives and --resolve show the Linux program's drive table\n";
      return kBadCommandLineStatus;
    case CommandLineOptions::Action::Unattended:
    case CommandLineOptions::Action::Undo:
    case CommandLineOptions::Action::Wizard:
      break;
  }
  if (options.dryRun || options.log) {
    std::cerr << "tovrin: --dry-run and --log are not in the Windows program yet\n";
    return kBadCommandLineStatus;
  }
  auto setUp = SetUpServices(options);
  if (!setUp.services) {
    std::cerr << "tovrin: " << VisibleText(setUp.error) << "\n";
    if (setUp.status == kBadCommandLineStatus) std::cerr << Usage();
    return setUp.status;
  }
  ProgramServices& services = *setUp.services;
  if (options.action == CommandLineOptions::Action::Undo) {
    if (!services.typedDestination) {
      std::cerr << "tovrin: --undo needs --dest PATH\n" << Usage();
      return kBadCommandLineStatus;
    }
    return UndoLastUpdate(*services.hostFiles, *MakeJournalFiles(), *services.typedDestination,
                          std::cout, std::cerr);
  }
  if (options.action == CommandLineOptions::Action::Wizard) {
    return RunWizard(*services.files, services.registry, *services.archives);
  }
  return RunUnattended(*services.files, services.registry, *services.archives,
                       services.typedDestination, std::cout);
}

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  SetConsoleOutputCP(CP_UTF8);
  return Run(Utf8Arguments());
}
