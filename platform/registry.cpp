#include "platform/registry.hpp"

#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>

#include "platform/cp932.hpp"
#include "platform/reg_source.hpp"
#include "platform/registry_store.hpp"
#include "platform/visible_text.hpp"

namespace tovrin {

namespace {

constexpr std::string_view kSoftware = "SOFTWARE";
constexpr std::string_view kSoftware32 = "SOFTWARE\\WOW6432NODE";
constexpr HKEY kFirstHandle = 0x1000;

using SourceReader = std::optional<reg::SourceError> (*)(std::string_view, RegistryStore&);

std::optional<std::string> ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  // A read error (a folder, a failing disk) is thrown by the stream buffer
  // itself, whatever the stream's exception mask says.
  try {
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) return std::nullopt;
    return bytes;
  } catch (const std::ios_base::failure&) {
    return std::nullopt;
  }
}

void ReportUnusable(const std::filesystem::path& file, std::size_t line, std::string_view reason) {
  std::cerr << VisibleText(file.string()) << ':' << line << ": " << VisibleText(reason)
            << "; the registry view stays empty\n";
}

// Reads one source into the store; false, after saying why, when it cannot.
bool Load(const std::filesystem::path& file, SourceReader reader, RegistryStore& store) {
  const auto bytes = ReadHostFile(file);
  if (!bytes) {
    ReportUnusable(file, 0, "cannot be read");
    return false;
  }
  const auto error = reader(*bytes, store);
  if (!error) return true;
  ReportUnusable(file, error->line, error->reason);
  return false;
}

}  // namespace

struct Registry::Data {
  RegistryStore store;
  std::map<HKEY, std::string> openKeys;  // canonical paths
  HKEY nextHandle = kFirstHandle;

  std::optional<std::string> PathOf(HKEY key) const {
    if (key == HKEY_LOCAL_MACHINE) return std::string();
    const auto open = openKeys.find(key);
    if (open == openKeys.end()) return std::nullopt;
    return open->second;
  }

  // The product is a 32-bit program: where the view has a 32-bit part, a
  // key under SOFTWARE is looked for there first.
  std::optional<std::string> ExistingKey(std::string_view path) const {
    const std::string canonical = RegistryStore::CanonicalPath(path);
    if (RegistryStore::IsAtOrBelow(canonical, kSoftware) &&
        !RegistryStore::IsAtOrBelow(canonical, kSoftware32) && store.HasKey(kSoftware32)) {
      const std::string view32 = std::string(kSoftware32) + canonical.substr(kSoftware.size());
      if (store.HasKey(view32)) return view32;
    }
    if (store.HasKey(canonical)) return canonical;
    return std::nullopt;
  }
};

Registry::Registry() : data_(std::make_unique<Data>()) {}
Registry::~Registry() = default;
Registry::Registry(Registry&&) noexcept = default;
Registry& Registry::operator=(Registry&&) noexcept = default;

Registry Registry::FromWinePrefix(const std::filesystem::path& prefix) {
  Registry registry;
  if (!Load(prefix / "system.reg", reg::ReadWineRegistry, registry.data_->store)) {
    registry.data_->store.Clear();
  }
  return registry;
}

Registry Registry::FromRegFiles(const std::vector<std::filesystem::path>& files) {
  Registry registry;
  for (const auto& file : files) {
    if (Load(file, reg::ReadRegFile, registry.data_->store)) continue;
    registry.data_->store.Clear();
    break;
  }
  return registry;
}

Registry Registry::FromStore(RegistryStore store) {
  Registry registry;
  registry.data_->store = std::move(store);
  return registry;
}

LONG Registry::RegOpenKeyExA(HKEY root, const std::string& subKey, DWORD /*options*/,
                             REGSAM /*access: the view grants full access to what exists*/,
                             HKEY* result) {
  if (result == nullptr) return ERROR_INVALID_PARAMETER;
  const auto base = data_->PathOf(root);
  if (!base) return ERROR_INVALID_HANDLE;
  const auto name = cp932::ToUtf8(subKey);
  if (!name) return ERROR_FILE_NOT_FOUND;
  auto path = data_->ExistingKey(*base + "\\" + *name);
  if (!path) return ERROR_FILE_NOT_FOUND;
  const HKEY handle = data_->nextHandle++;
  data_->openKeys.emplace(handle, std::move(*path));
  *result = handle;
  return ERROR_SUCCESS;
}

LONG Registry::RegQueryValueExA(HKEY key, const std::string& valueName, DWORD* /*reserved*/,
                                DWORD* type, unsigned char* data, DWORD* size) {
  const auto path = data_->PathOf(key);
  if (!path) return ERROR_INVALID_HANDLE;
  const auto name = cp932::ToUtf8(valueName);
  const std::string* value = name ? data_->store.FindValue(*path, *name) : nullptr;
  if (value == nullptr) return ERROR_FILE_NOT_FOUND;
  const auto text = cp932::FromUtf8(*value);
  if (!text) return ERROR_NO_UNICODE_TRANSLATION;
  const auto needed = static_cast<DWORD>(text->size() + 1);
  if (type != nullptr) *type = REG_SZ;
  if (data == nullptr) {
    if (size != nullptr) *size = needed;
    return ERROR_SUCCESS;
  }
  if (size == nullptr) return ERROR_INVALID_PARAMETER;
  const DWORD available = *size;
  *size = needed;
  if (available < needed) return ERROR_MORE_DATA;
  std::memcpy(data, text->data(), text->size());
  data[text->size()] = '\0';
  return ERROR_SUCCESS;
}

LONG Registry::RegCloseKey(HKEY key) {
  if (key == HKEY_LOCAL_MACHINE) return ERROR_SUCCESS;
  return data_->openKeys.erase(key) != 0 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

}  // namespace tovrin
