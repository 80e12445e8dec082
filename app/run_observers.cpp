#include "app/run_observers.hpp"

#include "platform/utf8_path.hpp"
#include "hosts/console/terminal_text.hpp"
#include "platform/visible_text.hpp"

namespace tovrin {
namespace {

std::string CommandLineText(const std::vector<std::string_view>& arguments) {
  std::string text = "tovrin";
  for (const auto argument : arguments) {
    const bool quote =
        argument.empty() || argument.find_first_of(" \t\"'") != std::string_view::npos;
    text += quote ? " \"" + std::string(argument) + "\"" : " " + std::string(argument);
  }
  return VisibleText(text);
}

std::vector<std::string> Header(const CommandLineOptions& options,
                                const std::vector<std::string_view>& arguments,
                                const std::string& mediumFolder, const FileSystem& files) {
  std::vector<std::string> header = {"tovrin " TOVRIN_VERSION " started: " +
                                     CommandLineText(arguments)};
  const auto host = files.Resolve(mediumFolder);
  header.push_back("medium " + TerminalLine(mediumFolder) +
                   (host ? " (" + VisibleText(Utf8Of(*host)) + ")" : std::string()));
  if (options.dryRun) header.push_back("dry run: nothing is changed");
  return header;
}

}  // namespace

RunObservers::RunObservers(const RunObserverSetting& setting)
    : log_(setting.options.log, setting.errors, std::chrono::system_clock::now()),
      runLog_(log_, setting.files,
              Header(setting.options, setting.arguments, setting.mediumFolder, setting.files)),
      progress_(setting.errors) {
  events_.Add(runLog_);
  // A log on standard error would be torn by the progress line.
  if (setting.progressLine && setting.options.log != "-") events_.Add(progress_);
  if (setting.dryRun != nullptr) events_.Add(report_.emplace(*setting.dryRun, setting.out));
}

}  // namespace tovrin
