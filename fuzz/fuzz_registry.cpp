// The registry sources: .reg files (REGEDIT4, version 5.00) and a Wine
// prefix's system.reg. The first byte chooses which reader gets the rest.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_drive.hpp"
#include "platform/registry.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  if (size == 0) return 0;
  fuzz::Reset();
  const std::string bytes(reinterpret_cast<const char*>(data + 1), size - 1);
  const auto& root = fuzz::Drive().root;

  Registry registry;
  if (data[0] & 1) {
    fuzz::WriteHostFile("prefix/system.reg", bytes);
    registry = Registry::FromWinePrefix(root / "prefix");
  } else {
    fuzz::WriteHostFile("uninstall.reg", bytes);
    registry = Registry::FromRegFiles({root / "uninstall.reg"});
  }

  HKEY key = 0;
  const std::string path = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tovrin";
  if (registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
    return 0;
  }
  unsigned char value[256];
  DWORD type = 0;
  DWORD length = sizeof value;
  const LONG result = registry.RegQueryValueExA(key, "UninstallString", nullptr, &type, value, &length);
  if (result == ERROR_SUCCESS && (length == 0 || length > sizeof value || value[length - 1] != 0)) {
    std::abort();  // a string value always comes with its NUL, inside the buffer
  }
  registry.RegCloseKey(key);
  return 0;
}
