// The registry sources: .reg files (REGEDIT4, version 5.00) and a Wine
// prefix's system.reg. The first byte chooses which reader gets the rest.
// A string value always comes with its NUL inside the buffer, a buffer too
// small is told the size it needs, and the install-folder lookup made of
// whatever the view holds is a piece of the value.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "fuzz/fuzz_drive.hpp"
#include "platform/registry.hpp"
#include "wizard/install_folder_lookup.hpp"

namespace {

using namespace tovrin;

// "ベルソール設備9": its ソ ends in 0x5C.
const std::array<std::string, 15> kKeyNames = {
    "\x83\x78\x83\x8b\x83\x5c\x81\x5b\x83\x8b\x90\xdd\x94\xf5\x39", "Tovrin", "VelsorSetsubi9"};
const std::string kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// The value through a buffer of `capacity` bytes; empty when not a string.
std::string Query(Registry& registry, HKEY key, DWORD capacity) {
  std::vector<unsigned char> value(capacity + 1, 0xAA);
  DWORD type = 0;
  DWORD length = capacity;
  const LONG result =
      registry.RegQueryValueExA(key, "UninstallString", nullptr, &type, value.data(), &length);
  if (value[capacity] != 0xAA) Fail("the value was written past its buffer");
  if (result == ERROR_MORE_DATA && length <= capacity)
    Fail("too small a buffer, but no larger size asked");
  if (result != ERROR_SUCCESS) return {};
  if (length == 0 || length > capacity || value[length - 1] != 0)
    Fail("a string value without its NUL");
  return std::string(reinterpret_cast<const char*>(value.data()), length - 1);
}

void CheckKey(Registry& registry, const std::string& name) {
  HKEY key = 0;
  if (registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallRoot + name, 0, KEY_ALL_ACCESS, &key) !=
      ERROR_SUCCESS) {
    return;
  }
  const std::string small = Query(registry, key, 8);
  const std::string whole = Query(registry, key, 4096);
  if (!small.empty() && small != whole) Fail("two reads of one value differ");
  if (registry.RegCloseKey(key) != ERROR_SUCCESS) Fail("an open key did not close");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A source that cannot be read is reported on standard error, once per
  // input: kept quiet so the log holds the fuzzer's own lines.
  static const bool quiet = [] {
    std::cerr.rdbuf(nullptr);
    return true;
  }();
  (void)quiet;
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
  for (const auto& name : kKeyNames) {
    if (!name.empty()) CheckKey(registry, name);
  }
  const std::string value = ReadUninstallString(registry, kKeyNames);
  const auto folder = LookUpInstallFolder(registry, kKeyNames);
  if (folder && value.find(*folder) == std::string::npos)
    Fail("the proposed folder is not in the value");
  return 0;
}
