#include "app/wizard_start.hpp"

#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "app/tovrin_app.hpp"
#include "archive/lzh_archive_library.hpp"
#include "platform/host_file_system.hpp"
#include "platform/program_directory.hpp"

namespace tovrin {
namespace {

Registry MachineRegistry(const DriveOptions& drives) {
  if (const auto prefix = FindWinePrefix(drives)) return Registry::FromWinePrefix(*prefix);
  return Registry();
}

}  // namespace

bool HasDisplay() {
  const char* x11 = std::getenv("DISPLAY");
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  return (x11 != nullptr && *x11 != '\0') || (wayland != nullptr && *wayland != '\0');
}

int StartWizard(const CommandLineOptions& options, int argc, char** argv) {
  std::string error;
  const auto files = MakeHostFileSystem(options.drives, error);
  if (!files) {
    std::cerr << "tovrin: " << error << "\n";
    return kExitUsage;
  }
  const auto programFolder = std::filesystem::read_symlink("/proc/self/exe").parent_path();
  const auto appDir = ProgramDirectory(*files, programFolder);
  if (!appDir) {
    std::cerr << "tovrin: no drive maps the program's folder " << programFolder << "\n";
    return kExitFailure;
  }
  g_strAppDir = *appDir;
  Registry registry = MachineRegistry(options.drives);
  LzhArchiveLibrary archives(*files);
  return RunWizard(argc, argv, WizardServices{*files, registry, archives});
}

}  // namespace tovrin
