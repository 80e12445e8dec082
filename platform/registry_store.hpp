#pragma once
// The keys and string values of HKEY_LOCAL_MACHINE as the registry sources
// give them. Paths are relative to the machine root, UTF-8, components
// separated by '\'; key paths and value names match without regard to ASCII
// letter case.

#include <map>
#include <string>
#include <string_view>

namespace tovrin {

class RegistryStore {
 public:
  // Adds the key and every key above it.
  void AddKey(std::string_view path);
  // Removes the key and every key below it.
  void RemoveKey(std::string_view path);
  void SetValue(std::string_view path, std::string_view name, std::string text);
  void RemoveValue(std::string_view path, std::string_view name);
  void Clear() { keys_.clear(); }

  // The machine root always exists.
  bool HasKey(std::string_view path) const;
  const std::string* FindValue(std::string_view path, std::string_view name) const;

  // The path as the store compares it: upper case ASCII letters, empty
  // components dropped.
  static std::string CanonicalPath(std::string_view path);
  // True for `top` itself and every key below it (canonical paths).
  static bool IsAtOrBelow(std::string_view path, std::string_view top);

 private:
  using Values = std::map<std::string, std::string>;  // by upper-case name
  std::map<std::string, Values> keys_;                // by canonical path
};

}  // namespace tovrin
