#include "app/program_services.hpp"

#include "platform/utf8_path.hpp"

#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "app/host_services.hpp"
#include "app/unattended_run.hpp"
#include "platform/cp932.hpp"
#include "platform/program_directory.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

ServicesSetUp Failure(int status, std::string error) { return {nullptr, status, std::move(error)}; }

Registry LoadRegistry(const CommandLineOptions& options) {
  if (!options.registryFiles.empty()) {
    std::vector<fs::path> files;
    for (const auto& file : options.registryFiles) files.push_back(PathFromUtf8(file));
    return Registry::FromRegFiles(files);
  }
  return LoadSystemRegistry(options);
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
  auto path = files.ToWindowsPath(fs::weakly_canonical(fs::absolute(PathFromUtf8(given)), ignored));
  if (!path) error = "--dest \"" + given + "\" lies on no mapped drive";
  return path;
}

// The keys of --trusted-key; false, with `error` naming the file, for one
// that cannot be read or is no minisign public key.
bool LoadTrustedKeys(const CommandLineOptions& options, TrustedKeys& trusted, std::string& error) {
  trusted.signatureRequired = options.requireSignature;
  for (const std::string& file : options.trustedKeyFiles) {
    std::ifstream input(PathFromUtf8(file), std::ios::binary);
    std::string text(kMinisignKeyFileMaxBytes + 1, '\0');
    input.read(text.data(), static_cast<std::streamsize>(text.size()));
    text.resize(static_cast<std::size_t>(input.gcount()));
    std::string why = "it cannot be read";
    const auto key = input.bad() || !input.is_open() ? std::nullopt : ParseMinisignKey(text, why);
    if (!key) {
      error = "--trusted-key \"" + file + "\": " + why;
      return false;
    }
    trusted.keys.push_back(*key);
  }
  return true;
}

}  // namespace

ServicesSetUp SetUpServices(const CommandLineOptions& options) {
  auto services = std::make_unique<ProgramServices>();
  std::string error;
  services->hostFiles = MakeFileSystem(options, error);
  if (!services->hostFiles) return Failure(kBadCommandLineStatus, error);
  services->files = std::make_unique<ObservedFileSystem>(*services->hostFiles);

  // The folder of the program file is the medium when --medium is not given.
  const fs::path medium = options.medium ? PathFromUtf8(*options.medium) : ProgramFolder();
  std::error_code ignored;
  if (!IsFolderOrUnknown(medium)) {
    return Failure(kBadCommandLineStatus, "the medium \"" + Utf8Of(medium) + "\" is not a folder");
  }
  const auto programDirectory = ProgramDirectory(*services->files, fs::canonical(medium, ignored));
  if (!programDirectory) {
    return Failure(kExitFailed, "the medium \"" + Utf8Of(medium) + "\" lies on no mapped drive");
  }
  services->mediumFolder = *programDirectory;

  if (options.destination) {
    services->typedDestination = WindowsDestination(*services->files, *options.destination, error);
    if (!services->typedDestination) return Failure(kBadCommandLineStatus, error);
  }
  if (!LoadTrustedKeys(options, services->trustedKeys, error)) {
    return Failure(kBadCommandLineStatus, error);
  }
  services->registry = LoadRegistry(options);
  services->archives = std::make_unique<LzhArchiveLibrary>(*services->files);
  return {std::move(services), 0, {}};
}

}  // namespace tovrin
