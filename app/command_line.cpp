#include "app/command_line.hpp"

#include <array>

namespace tovrin {
namespace {

using Action = CommandLineOptions::Action;

struct OptionSpec {
  std::string_view name;
  std::string_view valueName;  // empty for a switch
  std::string_view help;
  // Stores the option; false with `error` set when it cannot be taken.
  bool (*apply)(CommandLineOptions& options, std::string_view value, std::string& error);
};

bool SetAction(CommandLineOptions& options, Action action, std::string& error) {
  if (options.action != Action::Wizard && options.action != action) {
    error = "--unattended, --undo, --drives, --resolve, --help and --version exclude each other";
    return false;
  }
  options.action = action;
  return true;
}

// Add an option by adding its row.
constexpr std::array kOptions = {
    OptionSpec{"--unattended", "", "apply the update with no display, accepting every page",
               [](CommandLineOptions& options, std::string_view, std::string& error) {
                 return SetAction(options, Action::Unattended, error);
               }},
    OptionSpec{"--undo", "",
               "take back the last successful update of the product at --dest; exit 0 done, "
               "2 nothing to undo, 5 not (all) put back, 6 in use: try again later",
               [](CommandLineOptions& options, std::string_view, std::string& error) {
                 return SetAction(options, Action::Undo, error);
               }},
    OptionSpec{"--dry-run", "",
               "print what the update would change, change nothing (0: would go ahead, 2: refused, "
               "6: not now)",
               [](CommandLineOptions& options, std::string_view, std::string& error) {
                 options.dryRun = true;
                 return SetAction(options, Action::Unattended, error);
               }},
    OptionSpec{"--log", "FILE", "write the run's log to FILE (\"-\": standard error)",
               [](CommandLineOptions& options, std::string_view value, std::string&) {
                 options.log = std::string(value);
                 return true;
               }},
    OptionSpec{"--report", "FILE",
               "write what the run did to FILE as one JSON document when it ends",
               [](CommandLineOptions& options, std::string_view value, std::string&) {
                 options.report = std::string(value);
                 return true;
               }},
    OptionSpec{"--medium", "DIR", "the update medium (info.txt); default the program's folder",
               [](CommandLineOptions& options, std::string_view value, std::string&) {
                 options.medium = std::string(value);
                 return true;
               }},
    OptionSpec{"--dest", "PATH",
               "the product folder, typed over the proposed one: C:\\PROG or a host path",
               [](CommandLineOptions& options, std::string_view value, std::string&) {
                 options.destination = std::string(value);
                 return true;
               }},
    OptionSpec{"--registry", "FILE", "a .reg file for the uninstall lookup (repeatable)",
               [](CommandLineOptions& options, std::string_view value, std::string&) {
                 options.registryFiles.emplace_back(value);
                 return true;
               }},
    OptionSpec{"--trusted-key", "FILE",
               "trust media signed with this minisign public key (repeatable); the product's "
               "trusted-keys\\*.pub are trusted too",
               [](CommandLineOptions& options, std::string_view value, std::string&) {
                 options.trustedKeyFiles.emplace_back(value);
                 return true;
               }},
    OptionSpec{"--require-signature", "", "refuse a medium not signed by a trusted key",
               [](CommandLineOptions& options, std::string_view, std::string&) {
                 options.requireSignature = true;
                 return true;
               }},
    OptionSpec{"--drives", "", "print the drive table, one line a drive",
               [](CommandLineOptions& options, std::string_view, std::string& error) {
                 return SetAction(options, Action::ShowDrives, error);
               }},
    OptionSpec{"--resolve", "WINPATH", "print the host path a Windows path resolves to",
               [](CommandLineOptions& options, std::string_view value, std::string& error) {
                 options.windowsPath = value;
                 return SetAction(options, Action::ResolvePath, error);
               }},
    OptionSpec{"--drive", "L=DIR[:TYPE]",
               "map drive L to host folder DIR; TYPE fixed (default), removable, cdrom or remote",
               [](CommandLineOptions& options, std::string_view value, std::string&) {
                 options.drives.drives.emplace_back(value);
                 return true;
               }},
    OptionSpec{"--wine-prefix", "DIR", "take the drives of this Wine prefix",
               [](CommandLineOptions& options, std::string_view value, std::string&) {
                 options.drives.winePrefix = std::string(value);
                 return true;
               }},
    OptionSpec{"--help", "", "print this usage",
               [](CommandLineOptions& options, std::string_view, std::string& error) {
                 return SetAction(options, Action::Help, error);
               }},
    OptionSpec{"--version", "", "print the program's version",
               [](CommandLineOptions& options, std::string_view, std::string& error) {
                 return SetAction(options, Action::Version, error);
               }},
};

const OptionSpec* FindOption(std::string_view name) {
  for (const auto& option : kOptions) {
    if (option.name == name) return &option;
  }
  return nullptr;
}

}  // namespace

ParsedCommandLine ParseCommandLine(const std::vector<std::string_view>& arguments) {
  CommandLineOptions options;
  for (std::size_t i = 0; i < arguments.size(); ++i) {
    std::string_view name = arguments[i];
    std::optional<std::string_view> value;
    if (const std::size_t equals = name.find('=');
        name.starts_with("--") && equals != std::string_view::npos) {
      value = name.substr(equals + 1);
      name = name.substr(0, equals);
    }
    const OptionSpec* option = FindOption(name);
    if (option == nullptr) {
      const bool looksLikeOption = name.starts_with("-");
      return {std::nullopt,
              std::string(looksLikeOption ? "unknown option " : "unexpected argument ") + "\"" +
                  std::string(arguments[i]) + "\""};
    }
    if (option->valueName.empty() && value) {
      return {std::nullopt, std::string(name) + " takes no value"};
    }
    if (!option->valueName.empty() && !value) {
      if (i + 1 == arguments.size())
        return {std::nullopt, std::string(name) + " needs " + std::string(option->valueName)};
      value = arguments[++i];
    }
    std::string error;
    if (!option->apply(options, value.value_or(""), error)) return {std::nullopt, error};
  }
  return {options, {}};
}

std::string Usage() {
  std::string usage = "usage: tovrin [options]\n";
  for (const auto& option : kOptions) {
    std::string left = "  " + std::string(option.name);
    if (!option.valueName.empty()) left += " " + std::string(option.valueName);
    left.resize(std::max<std::size_t>(left.size() + 2, 30), ' ');
    usage += left + std::string(option.help) + "\n";
  }
  usage +=
      "Every run writes a log to $XDG_STATE_HOME/tovrin/logs/ (~/.local/state/tovrin/logs/),\n"
      "one file per run, the newest 20 kept. An unattended run shows its progress on\n"
      "standard error when that is a terminal.\n"
      "Exit status: 0 applied (or nothing to change), 1 applied with warnings, 2 refused,\n"
      "3 cancelled, 4 stopped and put back, 5 failed, 6 not now (another run, or programs\n"
      "running from the product): nothing was touched, try again later.\n"
      "Each run journals its changes in the product's hidden folder .tovrin/journal/ and puts\n"
      "the product back when it fails, or at the next start when it was killed. The journal of\n"
      "the last successful run stays there for --undo: replaced files kept as hard links, so it\n"
      "takes as much disk space as the files that update replaced (copies where the file system\n"
      "has no hard links), until the next successful update replaces it.\n";
  return usage;
}

}  // namespace tovrin
