#include "app/program_services.hpp"

#include <filesystem>
#include <system_error>

#include "app/unattended_run.hpp"
#include "platform/cp932.hpp"
#include "platform/host_file_system.hpp"
#include "platform/program_directory.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

ServicesSetUp Failure(int status, std::string error) { return {nullptr, status, std::move(error)}; }

Registry LoadRegistry(const CommandLineOptions& options) {
  if (!options.registryFiles.empty()) {
    return Registry::FromRegFiles({options.registryFiles.begin(), options.registryFiles.end()});
  }
  if (const auto prefix = FindWinePrefix(options.drives)) return Registry::FromWinePrefix(*prefix);
  return Registry();
}

// The folder of the program file: the medium when --medium is not given.
fs::path ProgramFolder() {
  std::error_code error;
  return fs::read_symlink("/proc/self/exe", error).parent_path();
}

bool IsHostPath(const std::string& path) {
  return path.starts_with("/") || path.starts_with("./") || path.starts_with("../");
}

// --dest as the Windows path the destination page would hold.
std::optional<std::string> WindowsDestination(const FileSystem& files, const std::string& given,
                                              std::string& error) {
  if (!IsHostPath(given)) {
    auto path = cp932::FromUtf8(given);
    if (!path) error = "--dest \"" + given + "\" has no code page 932 spelling";
    return path;
  }
  std::error_code ignored;
  auto path = files.ToWindowsPath(fs::weakly_canonical(fs::absolute(given), ignored));
  if (!path) error = "--dest \"" + given + "\" lies on no mapped drive";
  return path;
}

}  // namespace

ServicesSetUp SetUpServices(const CommandLineOptions& options) {
  auto services = std::make_unique<ProgramServices>();
  std::string error;
  services->hostFiles = MakeHostFileSystem(options.drives, error);
  if (!services->hostFiles) return Failure(kBadCommandLineStatus, error);
  services->files = std::make_unique<ObservedFileSystem>(*services->hostFiles);

  const fs::path medium = options.medium ? fs::path(*options.medium) : ProgramFolder();
  std::error_code ignored;
  if (!fs::is_directory(medium, ignored)) {
    return Failure(kBadCommandLineStatus, "the medium \"" + medium.string() + "\" is not a folder");
  }
  const auto programDirectory = ProgramDirectory(*services->files, fs::canonical(medium, ignored));
  if (!programDirectory) {
    return Failure(kExitFailed, "the medium \"" + medium.string() + "\" lies on no mapped drive");
  }
  g_strAppDir = *programDirectory;

  if (options.destination) {
    services->typedDestination = WindowsDestination(*services->files, *options.destination, error);
    if (!services->typedDestination) return Failure(kBadCommandLineStatus, error);
  }
  services->registry = LoadRegistry(options);
  services->archives = std::make_unique<LzhArchiveLibrary>(*services->files);
  return {std::move(services), 0, {}};
}

}  // namespace tovrin
