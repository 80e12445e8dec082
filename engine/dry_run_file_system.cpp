#include "engine/dry_run_file_system.hpp"

#include <algorithm>
#include <cerrno>
#include <ctime>

#include "platform/product_lock.hpp"
#include "platform/utf8_path.hpp"
#include "platform/cp932.hpp"
#include "platform/path_text.hpp"
#include "platform/wildcard.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

// Windows resolves a folder named with a trailing separator to a path that
// keeps it; its parent is then the folder itself.
fs::path Normal(const fs::path& host) {
  const fs::path normal = host.lexically_normal();
  return normal.has_filename() || !normal.has_relative_path() ? normal : normal.parent_path();
}

std::string KeyOfHost(const fs::path& host) {
  const std::u8string normal = host.lexically_normal().generic_u8string();
  std::string key(normal.begin(), normal.end());
  while (key.size() > 1 && key.back() == '/') key.pop_back();
  std::transform(key.begin(), key.end(), key.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  return key;
}

std::uint64_t SizeOf(const std::shared_ptr<SpilledContent>& content) {
  return content ? content->Size() : 0;
}

class EmptyInputFile : public InputFile {
 public:
  std::optional<std::size_t> Read(char* /*buffer*/, std::size_t /*size*/) override { return 0; }
};

class SpilledOutputFile : public OutputFile {
 public:
  explicit SpilledOutputFile(std::shared_ptr<SpilledContent> content)
      : content_(std::move(content)) {}
  bool Write(std::string_view bytes) override { return content_->Append(bytes); }
  bool Flush() override { return true; }
  bool Close() override { return true; }

 private:
  std::shared_ptr<SpilledContent> content_;
};

// Holds the new content until Commit() hands it to `store`.
template <typename Store>
class SpilledAtomicFile : public AtomicFile {
 public:
  SpilledAtomicFile(std::shared_ptr<SpilledContent> content, Store store)
      : content_(std::move(content)),
        store_(std::move(store)) {}
  bool Write(std::string_view bytes) override { return content_->Append(bytes); }
  bool Flush() override { return true; }
  bool Close() override { return true; }
  bool Commit() override {
    store_(std::move(content_));
    return true;
  }

 private:
  std::shared_ptr<SpilledContent> content_;
  Store store_;
};

}  // namespace

ProductLockResult DryRunFileSystem::LockProduct(std::string_view folder) {
  const auto host = inner_.Resolve(folder);
  if (!host) return {};
  return ShareProductLock(*host / kBookkeepingFolderName / kLockFileName);
}

std::optional<DryRunFileSystem::Key> DryRunFileSystem::KeyOf(std::string_view path) const {
  const auto host = inner_.Resolve(path);
  if (!host) return std::nullopt;
  return KeyOfHost(*host);
}

const DryRunFileSystem::Entry* DryRunFileSystem::Find(const std::optional<Key>& key) const {
  if (!key) return nullptr;
  const auto found = entries_.find(*key);
  return found == entries_.end() ? nullptr : &found->second;
}

Presence DryRunFileSystem::Exists(std::string_view path) const {
  const Entry* entry = Find(KeyOf(path));
  if (!entry) return inner_.Exists(path);
  return entry->removed ? Presence::Absent : Presence::Present;
}

// A file the run has written is the file itself, no link.
std::optional<std::string> DryRunFileSystem::FinalPath(std::string_view path) const {
  const Entry* entry = Find(KeyOf(path));
  if (!entry) return inner_.FinalPath(path);
  if (entry->removed) return std::nullopt;
  return std::string(path);
}

bool DryRunFileSystem::FolderOfExists(std::string_view path) const {
  const auto host = inner_.Resolve(path);
  if (!host) return false;
  const fs::path folder = Normal(*host).parent_path();
  const auto found = entries_.find(KeyOfHost(folder));
  if (found != entries_.end()) return found->second.isFolder && !found->second.removed;
  std::error_code error;
  return fs::is_directory(folder, error);
}

bool DryRunFileSystem::RefusesOverwrite(std::string_view path) const {
  FileStatus status;
  if (!GetStatus(path, status)) return false;
  return (status.attribute & (ATTR_READONLY | ATTR_HIDDEN | ATTR_DIRECTORY)) != 0;
}

DryRunFileSystem::Entry& DryRunFileSystem::Touch(const Key& key, std::string_view path) {
  auto [found, added] = entries_.try_emplace(key);
  Entry& entry = found->second;
  if (added) {
    entry.host = Normal(*inner_.Resolve(path));
    FileStatus status;
    entry.existed = inner_.GetStatus(path, status);
    entry.attribute = status.attribute;
    entry.order = nextOrder_++;
  }
  entry.removed = false;
  entry.modificationTime = std::time(nullptr);
  return entry;
}

void DryRunFileSystem::Store(std::string_view path, std::shared_ptr<SpilledContent> content) {
  Entry& entry = Touch(*KeyOf(path), path);
  entry.isFolder = false;
  entry.attribute &= static_cast<std::uint8_t>(~ATTR_DIRECTORY);
  entry.content = std::move(content);
}

std::shared_ptr<SpilledContent> DryRunFileSystem::ContentOf(std::string_view path) {
  const Entry* entry = Find(KeyOf(path));
  if (entry && !entry->removed && !entry->isFolder) {
    return entry->content ? entry->content : spill_->NewContent();
  }
  const auto input = OpenRead(path, OpenAccess::Read);
  if (!input) return nullptr;
  return spill_->Copy(*input);
}

int DryRunFileSystem::Mkdir(std::string_view path) {
  const auto key = KeyOf(path);
  if (!key || IsPresent(path) || !FolderOfExists(path)) return -1;
  Entry& entry = Touch(*key, path);
  entry.isFolder = true;
  entry.attribute = ATTR_DIRECTORY;
  return 0;
}

bool DryRunFileSystem::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  if (!KeyOf(to) || !FolderOfExists(to)) return false;
  if ((failIfExists && IsPresent(to)) || RefusesOverwrite(to)) return false;
  // A copy of its own: later writes to either file leave the other as it is.
  const auto input = OpenRead(from, OpenAccess::Read);
  auto content = input ? spill_->Copy(*input) : nullptr;
  if (!content) return false;
  Store(to, std::move(content));
  return true;
}

bool DryRunFileSystem::GetStatus(std::string_view path, FileStatus& status) const {
  const Entry* entry = Find(KeyOf(path));
  if (!entry) return inner_.GetStatus(path, status);
  if (entry->removed) return false;
  if (entry->existed) inner_.GetStatus(path, status);
  status.size = entry->isFolder ? 0 : SizeOf(entry->content);
  status.attribute = entry->attribute;
  status.modificationTime = entry->modificationTime;
  status.fullName = inner_.ToWindowsPath(entry->host).value_or(std::string(path));
  return true;
}

// A file of the disk whose attributes or times change becomes the run's
// own, with its content, so that the change is listed.
bool DryRunFileSystem::SetStatus(std::string_view path, const FileStatus& status) {
  const auto key = KeyOf(path);
  if (!key || !IsPresent(path)) return false;
  if (!Find(key)) {
    auto content = ContentOf(path);
    if (!content) return false;
    Store(path, std::move(content));
  }
  Entry& entry = entries_.at(*key);
  const std::uint8_t folderBit = entry.isFolder ? ATTR_DIRECTORY : 0;
  entry.attribute = static_cast<std::uint8_t>((status.attribute & ~ATTR_DIRECTORY) | folderBit);
  entry.modificationTime = status.modificationTime;
  return true;
}

bool DryRunFileSystem::Remove(std::string_view path) {
  const auto key = KeyOf(path);
  if (!key || !IsPresent(path)) return false;
  Entry& entry = Touch(*key, path);
  entry.removed = true;
  entry.content.reset();
  return true;
}

bool DryRunFileSystem::Replace(std::string_view from, std::string_view to) {
  if (!KeyOf(to) || !FolderOfExists(to)) return false;
  FileStatus target;
  const bool replacing = GetStatus(to, target);
  if (replacing && (target.attribute & (ATTR_READONLY | ATTR_DIRECTORY)) != 0) return false;
  FileStatus source;
  if (!GetStatus(from, source)) return false;
  auto content = ContentOf(from);
  if (!content) return false;
  Store(to, std::move(content));
  entries_.at(*KeyOf(to)).attribute = replacing ? target.attribute : source.attribute;
  return Remove(from);
}

std::unique_ptr<InputFile> DryRunFileSystem::OpenRead(std::string_view path, OpenAccess access) {
  const Entry* entry = Find(KeyOf(path));
  if (!entry) return inner_.OpenRead(path, access);
  if (entry->removed || entry->isFolder) return nullptr;
  if (access == OpenAccess::ReadWrite && (entry->attribute & ATTR_READONLY) != 0) return nullptr;
  if (!entry->content) return std::make_unique<EmptyInputFile>();
  return entry->content->OpenRead();
}

std::unique_ptr<OutputFile> DryRunFileSystem::Create(std::string_view path) {
  const auto key = KeyOf(path);
  if (!key || !FolderOfExists(path)) return nullptr;
  FileStatus status;
  if (GetStatus(path, status) && (status.attribute & (ATTR_READONLY | ATTR_DIRECTORY)) != 0) {
    return nullptr;
  }
  auto content = spill_->NewContent();
  if (!content) return nullptr;
  Store(path, content);
  return std::make_unique<SpilledOutputFile>(std::move(content));
}

std::unique_ptr<AtomicFile> DryRunFileSystem::BeginReplace(std::string_view path) {
  if (!KeyOf(path) || !FolderOfExists(path)) return nullptr;
  FileStatus status;
  if (GetStatus(path, status) && (status.attribute & (ATTR_READONLY | ATTR_DIRECTORY)) != 0) {
    return nullptr;
  }
  auto content = spill_->NewContent();
  if (!content) return nullptr;
  auto store = [this, target = std::string(path)](std::shared_ptr<SpilledContent> written) {
    Store(target, std::move(written));
  };
  return std::make_unique<SpilledAtomicFile<decltype(store)>>(std::move(content), std::move(store));
}

std::optional<std::vector<FindEntry>> DryRunFileSystem::SearchFiles(
    std::string_view pattern) const {
  const std::size_t separator = path_text::LastSeparator(pattern);
  const std::string_view folder =
      separator == std::string_view::npos ? std::string_view() : pattern.substr(0, separator + 1);
  const std::string_view namePattern = pattern.substr(folder.size());
  auto onDisk = inner_.SearchFiles(pattern);
  if (!onDisk) return std::nullopt;
  std::vector<FindEntry> found;
  for (auto& entry : *onDisk) {
    const Entry* ours = entry.IsDots() ? nullptr : Find(KeyOf(std::string(folder) + entry.name));
    if (ours == nullptr) found.push_back(std::move(entry));
  }
  const auto folderHost = inner_.Resolve(folder);
  if (!folderHost) return found;
  const std::string folderKey = KeyOfHost(*folderHost);
  for (const auto& [key, entry] : entries_) {
    if (entry.removed || KeyOfHost(entry.host.lexically_normal().parent_path()) != folderKey) {
      continue;
    }
    const auto name = cp932::FromUtf8(Utf8Of(entry.host.filename()));
    if (name && MatchesWildcard(*name, namePattern)) found.push_back({*name, entry.attribute});
  }
  return found;
}

std::vector<DryRunFileSystem::Change> DryRunFileSystem::Changes() const {
  std::vector<const Entry*> touched;
  for (const auto& [key, entry] : entries_) {
    // A work file that came and went changed nothing.
    if (!(entry.removed && !entry.existed)) touched.push_back(&entry);
  }
  std::sort(touched.begin(), touched.end(),
            [](const Entry* a, const Entry* b) { return a->order < b->order; });
  std::vector<Change> changes;
  for (const Entry* entry : touched) {
    const std::string path = inner_.ToWindowsPath(entry->host).value_or(Utf8Of(entry->host));
    changes.push_back(
        {path, entry->existed, entry->isFolder, entry->removed, SizeOf(entry->content)});
  }
  return changes;
}

}  // namespace tovrin
