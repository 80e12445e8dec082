#include "platform/win32/system_registry.hpp"

#include "platform/win32/wide_text.hpp"
#include "platform/win32/windows_api.hpp"

// The helpers stay outside the program's namespace, whose HKEY and LONG
// are the program's own types and not <windows.h>'s.
namespace {

using tovrin::RegistryStore;

constexpr wchar_t kUninstall[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
constexpr std::string_view kUninstallPath =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
// Key and value names are at most 255 characters; values are read whole.
constexpr ::DWORD kNameLength = 256;

// The product is a 32-bit program: its keys are in the 32-bit view.
HKEY Open(HKEY parent, const wchar_t* name) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(parent, name, 0, KEY_READ | KEY_WOW64_32KEY, &key) != 0) return nullptr;
  return key;
}

void ReadStringValues(HKEY key, const std::string& path, RegistryStore& store) {
  for (::DWORD index = 0;; ++index) {
    wchar_t name[kNameLength];
    ::DWORD nameLength = kNameLength;
    ::DWORD type = 0;
    ::DWORD size = 0;
    const LSTATUS status =
        RegEnumValueW(key, index, name, &nameLength, nullptr, &type, nullptr, &size);
    if (status == ERROR_NO_MORE_ITEMS) return;
    if (status != 0 || (type != REG_SZ && type != REG_EXPAND_SZ)) continue;
    std::wstring value(size / sizeof(wchar_t) + 1, L'\0');
    ::DWORD read = size;
    if (RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(value.data()),
                         &read) != 0) {
      continue;
    }
    value.resize(read / sizeof(wchar_t));
    while (!value.empty() && value.back() == L'\0') value.pop_back();
    const auto utf8Name = tovrin::win32::Utf8FromWide(std::wstring_view(name, nameLength));
    auto utf8Value = tovrin::win32::Utf8FromWide(value);
    if (utf8Name && utf8Value) store.SetValue(path, *utf8Name, *std::move(utf8Value));
  }
}

RegistryStore ReadUninstallStore() {
  RegistryStore store;
  const HKEY uninstall = Open(HKEY_LOCAL_MACHINE, kUninstall);
  if (uninstall == nullptr) return store;
  for (::DWORD index = 0;; ++index) {
    wchar_t name[kNameLength];
    ::DWORD nameLength = kNameLength;
    const LSTATUS status =
        RegEnumKeyExW(uninstall, index, name, &nameLength, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != 0) continue;
    const auto utf8Name = tovrin::win32::Utf8FromWide(std::wstring_view(name, nameLength));
    const HKEY product = Open(uninstall, name);
    if (product == nullptr) continue;
    if (utf8Name) {
      const std::string path = std::string(kUninstallPath) + "\\" + *utf8Name;
      store.AddKey(path);
      ReadStringValues(product, path, store);
    }
    RegCloseKey(product);
  }
  RegCloseKey(uninstall);
  return store;
}

}  // namespace

namespace tovrin {

Registry ReadSystemUninstallKeys() { return Registry::FromStore(ReadUninstallStore()); }

}  // namespace tovrin
