#include "app/drive_diagnostics.hpp"

#include <ostream>

#include "hosts/console/terminal_text.hpp"
#include "platform/cp932.hpp"
#include "platform/posix/host_file_system.hpp"
#include "platform/visible_text.hpp"

namespace tovrin {
namespace {

constexpr int kDone = 0;
constexpr int kNotResolved = 1;

}  // namespace

int ShowDrives(const CommandLineOptions& options, std::ostream& out, std::ostream& err) {
  std::string error;
  const auto table = BuildDriveTable(options.drives, error);
  if (!table) {
    err << "tovrin: " << VisibleText(error) << "\n";
    return kBadCommandLineStatus;
  }
  for (const auto& drive : table->Drives()) {
    out << drive.letter << ": " << DriveTypeName(drive.type) << " "
        << VisibleText(drive.root.string()) << "\n";
  }
  return kDone;
}

int ResolveWindowsPath(const CommandLineOptions& options, std::ostream& out, std::ostream& err) {
  std::string error;
  const auto files = MakeHostFileSystem(options.drives, error);
  if (!files) {
    err << "tovrin: " << VisibleText(error) << "\n";
    return kBadCommandLineStatus;
  }
  const auto path = cp932::FromUtf8(options.windowsPath);
  if (!path) {
    err << "tovrin: \"" << VisibleText(options.windowsPath) << "\" has no code page 932 spelling\n";
    return kNotResolved;
  }
  if (const auto host = files->Resolve(*path)) {
    out << VisibleText(host->string()) << "\n";
    return kDone;
  }
  if (path->size() >= 2 && (*path)[1] == ':') {
    err << "tovrin: drive " << TerminalLine(path->substr(0, 2)) << " is not mapped\n";
  } else {
    err << "tovrin: \"" << VisibleText(options.windowsPath) << "\" is on no drive\n";
  }
  return kNotResolved;
}

}  // namespace tovrin
