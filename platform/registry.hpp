#pragma once
// A read-only view of HKEY_LOCAL_MACHINE for the uninstall lookup, loaded
// from a Wine prefix's system.reg or from .reg files.

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/windows_types.hpp"

namespace tovrin {

using HKEY = std::uintptr_t;
using REGSAM = DWORD;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr REGSAM KEY_ALL_ACCESS = 0xF003F;
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_MORE_DATA = 234;
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

  LONG RegOpenKeyExA(HKEY root, const std::string& subKey, DWORD options, REGSAM access,
                     HKEY* result);
  LONG RegQueryValueExA(HKEY key, const std::string& valueName, DWORD* reserved, DWORD* type,
                        unsigned char* data, DWORD* size);
  LONG RegCloseKey(HKEY key);

 private:
  struct Data;
  std::unique_ptr<Data> data_;
};

}  // namespace tovrin
