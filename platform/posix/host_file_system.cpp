#include "platform/posix/host_file_system.hpp"

namespace tovrin {

std::unique_ptr<PosixFileSystem> MakeHostFileSystem(const DriveOptions& options,
                                                    std::string& error) {
  auto table = BuildDriveTable(options, error);
  if (!table) return nullptr;
  std::filesystem::path windowsDirectory;
  if (const auto prefix = FindWinePrefix(options)) {
    std::error_code ignored;
    const auto candidate = *prefix / "drive_c" / "windows";
    if (std::filesystem::is_directory(candidate, ignored)) windowsDirectory = candidate;
  }
  return std::make_unique<PosixFileSystem>(*std::move(table), windowsDirectory);
}

}  // namespace tovrin
