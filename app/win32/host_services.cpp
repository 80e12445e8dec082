#include "app/host_services.hpp"

#include "platform/win32/system_registry.hpp"
#include "platform/win32/file_system.hpp"
#include "platform/win32/windows_api.hpp"

namespace tovrin {

// Windows has drives of its own: the options that map them on Linux have
// nothing to do here.
std::unique_ptr<FileSystem> MakeFileSystem(const CommandLineOptions& options, std::string& error) {
  if (!options.drives.drives.empty() || options.drives.winePrefix) {
    error = "--drive and --wine-prefix are for Linux; Windows has drives of its own";
    return nullptr;
  }
  return std::make_unique<Win32FileSystem>();
}

std::filesystem::path ProgramFolder() {
  std::wstring file(MAX_PATH, L'\0');
  for (;;) {
    const ::DWORD length =
        GetModuleFileNameW(nullptr, file.data(), static_cast<::DWORD>(file.size()));
    if (length == 0) return {};
    if (length < file.size()) {
      file.resize(length);
      return std::filesystem::path(file).parent_path();
    }
    file.resize(file.size() * 2);
  }
}

Registry LoadSystemRegistry(const CommandLineOptions&) { return ReadSystemUninstallKeys(); }

// Every --dest is a Windows path on Windows.
bool IsHostPath(const std::string&) { return false; }

}  // namespace tovrin
