#pragma once
// The program's command line: one struct of parsed options and one parse
// function. Arguments are UTF-8 here; they become CP932 where they are used.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/drive_table.hpp"

namespace tovrin {

// The exit status of a bad command line (EX_USAGE).
inline constexpr int kBadCommandLineStatus = 64;

struct CommandLineOptions {
  enum class Action { Wizard, Unattended, Undo, ShowDrives, ResolvePath, Help, Version };
  Action action = Action::Wizard;
  std::string windowsPath;                   // --resolve WINPATH
  DriveOptions drives;                       // --drive, --wine-prefix
  std::optional<std::string> medium;         // --medium DIR; default the program's folder
  std::optional<std::string> destination;    // --dest PATH
  std::vector<std::string> registryFiles;    // --registry FILE
  bool dryRun = false;                       // --dry-run (an unattended run)
  std::optional<std::string> log;            // --log FILE, "-" for standard error
  std::optional<std::string> report;         // --report FILE (UTF-8)
  std::vector<std::string> trustedKeyFiles;  // --trusted-key FILE
  bool requireSignature = false;             // --require-signature
};

struct ParsedCommandLine {
  std::optional<CommandLineOptions> options;  // empty on a bad command line
  std::string error;
};

// The arguments after the program name. Options take their value as the next
// argument or after "=": "--drive C=/srv/c" or "--drive=C=/srv/c".
ParsedCommandLine ParseCommandLine(const std::vector<std::string_view>& arguments);

// The usage text, one line an option.
std::string Usage();

}  // namespace tovrin
