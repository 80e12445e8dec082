#include "platform/registry_store.hpp"

namespace tovrin {

namespace {

// UTF-8 never holds an ASCII byte inside a multi-byte character, so folding
// byte by byte is safe here.
std::string UpperAscii(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

std::string_view ParentOf(std::string_view canonical) {
  const std::size_t separator = canonical.rfind('\\');
  return separator == std::string_view::npos ? std::string_view() : canonical.substr(0, separator);
}

}  // namespace

bool RegistryStore::IsAtOrBelow(std::string_view path, std::string_view top) {
  return path == top ||
         (path.starts_with(top) && path.size() > top.size() && path[top.size()] == '\\');
}

std::string RegistryStore::CanonicalPath(std::string_view path) {
  std::string canonical;
  while (!path.empty()) {
    const std::size_t separator = path.find('\\');
    const std::string_view component = path.substr(0, separator);
    if (!component.empty()) {
      if (!canonical.empty()) canonical += '\\';
      canonical += UpperAscii(component);
    }
    if (separator == std::string_view::npos) break;
    path.remove_prefix(separator + 1);
  }
  return canonical;
}

void RegistryStore::AddKey(std::string_view path) {
  for (std::string key = CanonicalPath(path); !key.empty(); key = std::string(ParentOf(key))) {
    if (!keys_.try_emplace(key).second) return;  // its parents are there already
  }
}

void RegistryStore::RemoveKey(std::string_view path) {
  const std::string top = CanonicalPath(path);
  if (top.empty()) return Clear();
  for (auto it = keys_.lower_bound(top);
       it != keys_.end() && it->first.compare(0, top.size(), top) == 0;) {
    it = IsAtOrBelow(it->first, top) ? keys_.erase(it) : std::next(it);
  }
}

void RegistryStore::SetValue(std::string_view path, std::string_view name, std::string text) {
  AddKey(path);
  keys_[CanonicalPath(path)][UpperAscii(name)] = std::move(text);
}

void RegistryStore::RemoveValue(std::string_view path, std::string_view name) {
  const auto key = keys_.find(CanonicalPath(path));
  if (key != keys_.end()) key->second.erase(UpperAscii(name));
}

bool RegistryStore::HasKey(std::string_view path) const {
  const std::string canonical = CanonicalPath(path);
  return canonical.empty() || keys_.count(canonical) != 0;
}

const std::string* RegistryStore::FindValue(std::string_view path, std::string_view name) const {
  const auto key = keys_.find(CanonicalPath(path));
  if (key == keys_.end()) return nullptr;
  const auto value = key->second.find(UpperAscii(name));
  return value == key->second.end() ? nullptr : &value->second;
}

}  // namespace tovrin
