#include "app/host_services.hpp"

#include "platform/posix/host_file_system.hpp"

namespace tovrin {

std::unique_ptr<FileSystem> MakeFileSystem(const CommandLineOptions& options, std::string& error) {
  return MakeHostFileSystem(options.drives, error);
}

std::filesystem::path ProgramFolder() {
  std::error_code error;
  return std::filesystem::read_symlink("/proc/self/exe", error).parent_path();
}

Registry LoadSystemRegistry(const CommandLineOptions& options) {
  if (const auto prefix = FindWinePrefix(options.drives)) return Registry::FromWinePrefix(*prefix);
  return Registry();
}

bool IsHostPath(const std::string& path) {
  return path.starts_with("/") || path.starts_with("./") || path.starts_with("../");
}

}  // namespace tovrin
