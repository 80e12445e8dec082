#include "engine/observed_file_system.hpp"

#include <utility>

namespace tovrin {

namespace fs = std::filesystem;

namespace {

bool Lies(const fs::path& path, const fs::path& root) {
  auto inside = path.begin();
  for (auto part = root.begin(); part != root.end(); ++part, ++inside) {
    if (part->empty()) continue;  // the trailing separator of a folder path
    if (inside == path.end() || *inside != *part) return false;
  }
  return inside == path.end() || *inside != kBookkeepingFolderName;
}

class ObservedOutputFile : public OutputFile {
 public:
  ObservedOutputFile(std::unique_ptr<OutputFile> inner, RunEvents& listener)
      : inner_(std::move(inner)), listener_(listener) {}

  bool Write(std::string_view bytes) override {
    if (!inner_->Write(bytes)) return false;
    listener_.BytesWritten(bytes.size());
    return true;
  }
  bool Flush() override { return inner_->Flush(); }
  bool Close() override { return inner_->Close(); }

 private:
  std::unique_ptr<OutputFile> inner_;
  RunEvents& listener_;
};

// The change is told when the new content is about to take the old one's
// place, not when writing begins: an abandoned replacement changes nothing.
class ObservedAtomicFile : public AtomicFile {
 public:
  ObservedAtomicFile(std::unique_ptr<AtomicFile> inner, RunEvents& listener, FileChange change)
      : inner_(std::move(inner)), listener_(listener), change_(std::move(change)) {}

  bool Write(std::string_view bytes) override {
    if (!inner_->Write(bytes)) return false;
    listener_.BytesWritten(bytes.size());
    return true;
  }
  bool Flush() override { return inner_->Flush(); }
  bool Close() override { return inner_->Close(); }
  bool Commit() override {
    if (!listener_.FileChanging(change_)) return false;
    if (!inner_->Commit()) return false;
    listener_.FileChanged(change_);
    return true;
  }

 private:
  std::unique_ptr<AtomicFile> inner_;
  RunEvents& listener_;
  FileChange change_;
};

// Stands in for the journal where a path could not be looked up: a change
// nobody could record is not made.
class RefuseEveryChange : public RunEvents {
 public:
  bool FileChanging(const FileChange&) override { return false; }
};

RefuseEveryChange g_refuseEveryChange;

}  // namespace

void ObservedFileSystem::Observe(std::string_view productFolder, RunEvents& listener) {
  const auto root = inner_.Resolve(productFolder);
  listener_ = root ? &listener : nullptr;
  observedRoot_ = root ? root->lexically_normal() : fs::path();
}

void ObservedFileSystem::StopObserving() {
  listener_ = nullptr;
  observedRoot_.clear();
}

RunEvents* ObservedFileSystem::ListenerFor(std::string_view path) const {
  if (!listener_) return nullptr;
  const auto host = inner_.Resolve(path);
  if (!host) return &g_refuseEveryChange;
  return Lies(host->lexically_normal(), observedRoot_) ? listener_ : nullptr;
}

std::optional<FileChange> ObservedFileSystem::ChangeOf(std::string_view path,
                                                       FileChangeKind whenPresent) const {
  switch (inner_.Exists(path)) {
    case Presence::Absent: return FileChange{FileChangeKind::Added, std::string(path)};
    case Presence::Present: return FileChange{whenPresent, std::string(path)};
    case Presence::Unknown: break;
  }
  return std::nullopt;
}

int ObservedFileSystem::Mkdir(std::string_view path) {
  RunEvents* listener = ListenerFor(path);
  if (!listener) return inner_.Mkdir(path);
  const Presence presence = inner_.Exists(path);
  if (presence == Presence::Unknown) return -1;
  if (presence == Presence::Present) return inner_.Mkdir(path);
  const FileChange change{FileChangeKind::FolderCreated, std::string(path)};
  if (!listener->FileChanging(change)) return -1;
  if (inner_.Mkdir(path) != 0) return -1;
  listener->FileChanged(change);
  return 0;
}

bool ObservedFileSystem::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  RunEvents* listener = ListenerFor(to);
  if (!listener) return inner_.CopyFile(from, to, failIfExists);
  const auto change = ChangeOf(to, FileChangeKind::Replaced);
  if (!change || !listener->FileChanging(*change)) return false;
  if (!inner_.CopyFile(from, to, failIfExists)) return false;
  listener->FileChanged(*change);
  FileStatus copied;
  if (inner_.GetStatus(to, copied)) listener->BytesWritten(copied.size);
  return true;
}

// Attributes and times change the file itself, not a new file in its place.
bool ObservedFileSystem::SetStatus(std::string_view path, const FileStatus& status) {
  RunEvents* listener = ListenerFor(path);
  if (!listener) return inner_.SetStatus(path, status);
  const FileChange change{FileChangeKind::Modified, std::string(path)};
  if (!listener->FileChanging(change)) return false;
  if (!inner_.SetStatus(path, status)) return false;
  listener->FileChanged(change);
  return true;
}

bool ObservedFileSystem::Remove(std::string_view path) {
  RunEvents* listener = ListenerFor(path);
  if (!listener) return inner_.Remove(path);
  const Presence presence = inner_.Exists(path);
  if (presence == Presence::Unknown) return false;
  if (presence == Presence::Absent) return inner_.Remove(path);
  const FileChange change{FileChangeKind::Removed, std::string(path)};
  if (!listener->FileChanging(change)) return false;
  if (!inner_.Remove(path)) return false;
  listener->FileChanged(change);
  return true;
}

// Both ends change: the source goes away, the target appears or is replaced.
bool ObservedFileSystem::Replace(std::string_view from, std::string_view to) {
  RunEvents* fromListener = ListenerFor(from);
  RunEvents* toListener = ListenerFor(to);
  const FileChange removal{FileChangeKind::Removed, std::string(from)};
  const auto arrival = ChangeOf(to, FileChangeKind::Replaced);
  if (fromListener && !fromListener->FileChanging(removal)) return false;
  if (toListener && (!arrival || !toListener->FileChanging(*arrival))) return false;
  if (!inner_.Replace(from, to)) return false;
  if (fromListener) fromListener->FileChanged(removal);
  if (toListener) toListener->FileChanged(*arrival);
  return true;
}

std::unique_ptr<OutputFile> ObservedFileSystem::Create(std::string_view path) {
  RunEvents* listener = ListenerFor(path);
  if (!listener) return inner_.Create(path);
  // A file that held the name is removed first: the new one is a file of its own.
  const auto change = ChangeOf(path, FileChangeKind::Replaced);
  if (!change || !listener->FileChanging(*change)) return nullptr;
  auto file = inner_.Create(path);
  if (!file) return nullptr;
  listener->FileChanged(*change);
  return std::make_unique<ObservedOutputFile>(std::move(file), *listener);
}

std::unique_ptr<AtomicFile> ObservedFileSystem::BeginReplace(std::string_view path) {
  RunEvents* listener = ListenerFor(path);
  auto file = inner_.BeginReplace(path);
  if (!listener || !file) return file;
  const auto change = ChangeOf(path, FileChangeKind::Replaced);
  if (!change) return nullptr;
  return std::make_unique<ObservedAtomicFile>(std::move(file), *listener, *change);
}

}  // namespace tovrin
