#include "wizard/install_folder_lookup.hpp"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/cp932.hpp"
#include "platform/split_path.hpp"

namespace tovrin {
namespace {

const char* const kUninstallRoot = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\";
constexpr DWORD kValueBufferSize = 256;

// The value's bytes as a NUL-terminated text. A value longer than the
// usual buffer is read whole rather than left undefined.
std::string QueryText(Registry& registry, HKEY key) {
  std::vector<unsigned char> buffer(kValueBufferSize + 1, 0);
  DWORD type = 0;
  DWORD size = kValueBufferSize;
  LONG result =
      registry.RegQueryValueExA(key, "UninstallString", nullptr, &type, buffer.data(), &size);
  if (result == ERROR_MORE_DATA) {
    buffer.assign(size + 1, 0);
    result =
        registry.RegQueryValueExA(key, "UninstallString", nullptr, &type, buffer.data(), &size);
  }
  if (result != ERROR_SUCCESS) return {};
  const char* text = reinterpret_cast<const char*>(buffer.data());
  return std::string(text, strnlen(text, std::min<std::size_t>(size, buffer.size())));
}

bool EndsWithBackslash(const std::string& text) {
  if (text.empty() || text.back() != '\\') return false;
  // A 0x5C that ends a double-byte character is no separator.
  return cp932::CharacterBoundary(text, text.size() - 1) == text.size() - 1;
}

}  // namespace

std::string ReadUninstallString(Registry& registry, const std::array<std::string, 15>& keyNames) {
  for (const std::string& name : keyNames) {
    if (name.empty()) break;
    HKEY key = 0;
    if (registry.RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallRoot + name, 0, KEY_ALL_ACCESS,
                               &key) != ERROR_SUCCESS) {
      continue;
    }
    // The first key that opens ends the search, value or not.
    std::string text = QueryText(registry, key);
    registry.RegCloseKey(key);
    return text;
  }
  return {};
}

int ParseUninstallString(std::string& text) {
  const int option = cp932::Find(text, " -f");
  if (option < 0) return 0;
  // The whole tail is kept: a long path is not cut short.
  std::string tail = text.substr(static_cast<std::size_t>(option) + 3);
  const int nextOption = cp932::Find(tail, " -");
  if (nextOption >= 0) tail.resize(static_cast<std::size_t>(nextOption));
  const PathParts parts = SplitPath(tail);
  text = parts.drive + parts.directory;
  return 1;
}

std::optional<std::string> LookUpInstallFolder(Registry& registry,
                                               const std::array<std::string, 15>& keyNames) {
  std::string text = ReadUninstallString(registry, keyNames);
  if (ParseUninstallString(text) != 1) return std::nullopt;
  if (EndsWithBackslash(text)) text.pop_back();
  return text;
}

}  // namespace tovrin
