#include "engine/observed_file_system.hpp"

#include <algorithm>
#include <utility>

#include "platform/split_path.hpp"
#include "platform/temporary_name.hpp"

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

// Tells the listener the content of one open file as it streams; the
// stream is not whole unless told so before it goes.
class ContentStream {
 public:
  ContentStream(RunEvents& listener, std::string_view path, bool writing) : listener_(listener) {
    listener_.ContentBegun(this, std::string(path), writing);
  }
  ~ContentStream() { End(false); }
  ContentStream(const ContentStream&) = delete;
  ContentStream& operator=(const ContentStream&) = delete;

  void Streamed(std::string_view bytes) {
    if (!ended_) listener_.ContentStreamed(this, bytes);
  }
  // One write of a file being written: its bytes count once they are in.
  bool Wrote(bool written, std::string_view bytes) {
    if (!written) {
      End(false);
      return false;
    }
    Streamed(bytes);
    listener_.BytesWritten(bytes.size());
    return true;
  }
  void End(bool whole) {
    if (ended_) return;
    ended_ = true;
    listener_.ContentEnded(this, whole);
  }

 private:
  RunEvents& listener_;
  bool ended_ = false;
};

class ObservedInputFile : public InputFile {
 public:
  ObservedInputFile(std::unique_ptr<InputFile> inner, RunEvents& listener, std::string_view path)
      : inner_(std::move(inner)),
        content_(listener, path, false) {}

  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    const auto count = inner_->Read(buffer, size);
    if (!count)
      content_.End(false);
    else if (*count == 0 && size != 0)
      content_.End(true);
    else
      content_.Streamed(std::string_view(buffer, *count));
    return count;
  }

 private:
  std::unique_ptr<InputFile> inner_;
  ContentStream content_;
};

class ObservedOutputFile : public OutputFile {
 public:
  ObservedOutputFile(std::unique_ptr<OutputFile> inner, RunEvents& listener, std::string_view path)
      : inner_(std::move(inner)),
        content_(listener, path, true) {}

  bool Write(std::string_view bytes) override {
    return content_.Wrote(inner_->Write(bytes), bytes);
  }
  bool Flush() override { return inner_->Flush(); }
  bool Close() override {
    const bool closed = inner_->Close();
    content_.End(closed);
    return closed;
  }

 private:
  std::unique_ptr<OutputFile> inner_;
  ContentStream content_;
};

// The change is told when the new content is about to take the old one's
// place, not when writing begins: an abandoned replacement changes nothing.
class ObservedAtomicFile : public AtomicFile {
 public:
  ObservedAtomicFile(std::unique_ptr<AtomicFile> inner, RunEvents& listener, FileChange change)
      : inner_(std::move(inner)),
        listener_(listener),
        change_(std::move(change)),
        content_(listener, change_.path, true) {}

  bool Write(std::string_view bytes) override {
    return content_.Wrote(inner_->Write(bytes), bytes);
  }
  bool Flush() override { return inner_->Flush(); }
  bool Close() override { return inner_->Close(); }
  bool Commit() override {
    if (!listener_.FileChanging(change_)) return false;
    if (!inner_->Commit()) return false;
    listener_.FileChanged(change_);
    content_.End(true);
    return true;
  }

 private:
  std::unique_ptr<AtomicFile> inner_;
  RunEvents& listener_;
  FileChange change_;
  ContentStream content_;
};

// Stands in for the journal where a path could not be looked up: a change
// nobody could record is not made.
class RefuseEveryChange : public RunEvents {
 public:
  bool FileChanging(const FileChange&) override { return false; }
};

RefuseEveryChange g_refuseEveryChange;

// The program's own temporary files are no change to the product: their
// content is streamed, to be followed into place, but their making, moving
// and removal are not told.
bool IsOwnTemporary(std::string_view path) {
  const PathParts parts = SplitPath(path);
  return temporary_name::IsTemporary(parts.name + parts.extension);
}

}  // namespace

void ObservedFileSystem::Observe(std::string_view productFolder, RunEvents& listener) {
  const auto root = inner_.Resolve(productFolder);
  listener_ = root ? &listener : nullptr;
  observedRoots_.clear();
  if (root) observedRoots_.push_back(root->lexically_normal());
}

void ObservedFileSystem::ObserveAlso(std::string_view folder) {
  const auto root = inner_.Resolve(folder);
  if (!root || !listener_) return;
  const fs::path normal = root->lexically_normal();
  if (std::find(observedRoots_.begin(), observedRoots_.end(), normal) == observedRoots_.end()) {
    observedRoots_.push_back(normal);
  }
}

void ObservedFileSystem::StopObserving() {
  listener_ = nullptr;
  observedRoots_.clear();
}

RunEvents* ObservedFileSystem::ListenerFor(std::string_view path) const {
  if (!listener_) return nullptr;
  const auto host = inner_.Resolve(path);
  if (!host) return &g_refuseEveryChange;
  const fs::path normal = host->lexically_normal();
  for (const fs::path& root : observedRoots_) {
    if (Lies(normal, root)) return listener_;
  }
  return nullptr;
}

std::optional<FileChange> ObservedFileSystem::ChangeOf(std::string_view path,
                                                       FileChangeKind whenPresent) const {
  switch (inner_.Exists(path)) {
    case Presence::Absent:
      return FileChange{FileChangeKind::Added, std::string(path)};
    case Presence::Present:
      return FileChange{whenPresent, std::string(path)};
    case Presence::Unknown:
      break;
  }
  return std::nullopt;
}

std::unique_ptr<InputFile> ObservedFileSystem::OpenRead(std::string_view path, OpenAccess access) {
  RunEvents* listener = ListenerFor(path);
  auto file = inner_.OpenRead(path, access);
  if (!listener || !file) return file;
  return std::make_unique<ObservedInputFile>(std::move(file), *listener, path);
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
  // The program's own temporary is no change until it is moved into place.
  std::optional<FileChange> change;
  if (!IsOwnTemporary(to)) {
    change = ChangeOf(to, FileChangeKind::Replaced);
    if (!change || !listener->FileChanging(*change)) return false;
  }
  if (!inner_.CopyFile(from, to, failIfExists)) return false;
  if (change) listener->FileChanged(*change);
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
  if (!listener || IsOwnTemporary(path)) return inner_.Remove(path);
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
  return Move(from, to, true);
}

bool ObservedFileSystem::ReplaceUnflushed(std::string_view from, std::string_view to) {
  return Move(from, to, false);
}

bool ObservedFileSystem::Move(std::string_view from, std::string_view to, bool flushed) {
  RunEvents* fromListener = IsOwnTemporary(from) ? nullptr : ListenerFor(from);
  RunEvents* toListener = ListenerFor(to);
  const FileChange removal{FileChangeKind::Removed, std::string(from)};
  const auto arrival = ChangeOf(to, FileChangeKind::Replaced);
  if (fromListener && !fromListener->FileChanging(removal)) return false;
  if (toListener && (!arrival || !toListener->FileChanging(*arrival))) return false;
  if (!(flushed ? inner_.Replace(from, to) : inner_.ReplaceUnflushed(from, to))) return false;
  if (fromListener) fromListener->FileChanged(removal);
  if (toListener) toListener->FileChanged(*arrival);
  if (toListener) toListener->ContentMoved(removal.path, arrival->path);
  return true;
}

std::unique_ptr<OutputFile> ObservedFileSystem::Create(std::string_view path) {
  RunEvents* listener = ListenerFor(path);
  if (!listener) return inner_.Create(path);
  if (IsOwnTemporary(path)) {
    auto file = inner_.Create(path);
    if (!file) return nullptr;
    return std::make_unique<ObservedOutputFile>(std::move(file), *listener, path);
  }
  // A file that held the name is removed first: the new one is a file of its own.
  const auto change = ChangeOf(path, FileChangeKind::Replaced);
  if (!change || !listener->FileChanging(*change)) return nullptr;
  auto file = inner_.Create(path);
  if (!file) return nullptr;
  listener->FileChanged(*change);
  return std::make_unique<ObservedOutputFile>(std::move(file), *listener, path);
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
