#pragma once
// A read-only view of HKEY_LOCAL_MACHINE for the uninstall lookup, loaded
// from a Wine prefix's system.reg or from .reg files. A source that cannot
// be read or parsed leaves the view empty and is reported with its file name
// and line on standard error; it never ends the program.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry_store.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {

using HKEY = std::uintptr_t;
using REGSAM = DWORD;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_UNICODE_TRANSLATION = 1113;
inline constexpr DWORD REG_SZ = 1;

class Registry {
 public:
  Registry();
  ~Registry();
  Registry(Registry&&) noexcept;
  Registry& operator=(Registry&&) noexcept;

  // A Wine prefix's system.reg (keys relative to the machine root).
  static Registry FromWinePrefix(const std::filesystem::path& prefix);
  // .reg files (REGEDIT4 in CP932, version 5.00 in UTF-16 LE).
  static Registry FromRegFiles(const std::vector<std::filesystem::path>& files);
  // Keys and values read elsewhere (on Windows, from the system's registry).
  static Registry FromStore(RegistryStore store);

  // Opens an existing key, its name matched without regard to case; a key
  // under SOFTWARE\ is looked up in the 32-bit view first when the view has
  // one (SOFTWARE\Wow6432Node).
  LONG RegOpenKeyExA(HKEY root, const std::string& subKey, DWORD options, REGSAM access,
                     HKEY* result);
  // A string value as CP932 bytes with its NUL; ERROR_MORE_DATA with the
  // size needed when `size` is too small, ERROR_FILE_NOT_FOUND for a missing
  // value, ERROR_NO_UNICODE_TRANSLATION when the text has no CP932 form.
  LONG RegQueryValueExA(HKEY key, const std::string& valueName, DWORD* reserved, DWORD* type,
                        unsigned char* data, DWORD* size);
  LONG RegCloseKey(HKEY key);

 private:
  struct Data;
  std::unique_ptr<Data> data_;
};

}  // namespace tovrin
