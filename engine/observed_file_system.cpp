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
      : inner_(std::move(inner)), content_(listener, path, false) {}

  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    const auto count = inner_->Read(buffer, size);
    if (!count) content_.End(false);
    else if (*count == 0 && size != 0) content_.End(true);
    else content_.Streamed(std::string_view(buffer, *count));
    return count;
  }

 private:
  std::unique_ptr<InputFile> inner_;
  ContentStream content_;
};

class ObservedOutputFile : public OutputFile {
 public:
  ObservedOutputFile(std::unique_ptr<OutputFile> inner, RunEvents& listener, std::string_view path)
      : inner_(std::move(inner)), listener_(listener), content_(listener, path, true) {}

  bool Write(std::string_view bytes) override {
    if (!inner_->Write(bytes)) {
      content_.End(false);
      return false;
    }
    content_.Streamed(bytes);
    listener_.BytesWritten(bytes.size());
    return true;
  }
  bool Flush() override { return inner_->Flush(); }
  bool Close() override {
    const bool closed = inner_->Close();
    content_.End(closed);
    return closed;
  }

 private:
  std::unique_ptr<OutputFile> inner_;
  RunEvents& listener_;
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
    if (!inner_->Write(bytes)) {
      content_.End(false);
      return false;
    }
    content_.Streamed(bytes);
    listener_.BytesWritten(bytes.size());
    return true;
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
  return host && Lies(host->lexically_normal(), observedRoot_) ? listener_ : nullptr;
}

FileChange ObservedFileSystem::ChangeOf(std::string_view path, FileChangeKind whenPresent) const {
  const bool present = inner_.Access(path) == 0;
  return {present ? whenPresent : FileChangeKind::Added, std::string(path)};
}

DriveType ObservedFileSystem::GetDriveType(std::string_view root) const {
  return inner_.GetDriveType(root);
}
std::vector<char> ObservedFileSystem::DriveLetters() const { return inner_.DriveLetters(); }
std::optional<fs::path> ObservedFileSystem::Resolve(std::string_view path) const {
  return inner_.Resolve(path);
}
std::optional<std::string> ObservedFileSystem::ToWindowsPath(const fs::path& host) const {
  return inner_.ToWindowsPath(host);
}
int ObservedFileSystem::Access(std::string_view path) const { return inner_.Access(path); }
int ObservedFileSystem::Chdir(std::string_view path) { return inner_.Chdir(path); }
int ObservedFileSystem::Chdrive(int drive) { return inner_.Chdrive(drive); }
int ObservedFileSystem::Getdrive() const { return inner_.Getdrive(); }
std::string ObservedFileSystem::Getcwd() const { return inner_.Getcwd(); }
std::string ObservedFileSystem::GetWindowsDirectory() const { return inner_.GetWindowsDirectory(); }
bool ObservedFileSystem::GetStatus(std::string_view path, FileStatus& status) const {
  return inner_.GetStatus(path, status);
}
std::unique_ptr<InputFile> ObservedFileSystem::OpenRead(std::string_view path, OpenAccess access) {
  RunEvents* listener = ListenerFor(path);
  auto file = inner_.OpenRead(path, access);
  if (!listener || !file) return file;
  return std::make_unique<ObservedInputFile>(std::move(file), *listener, path);
}
std::vector<FindEntry> ObservedFileSystem::FindFiles(std::string_view pattern) const {
  return inner_.FindFiles(pattern);
}

int ObservedFileSystem::Mkdir(std::string_view path) {
  RunEvents* listener = ListenerFor(path);
  if (!listener || inner_.Access(path) == 0) return inner_.Mkdir(path);
  const FileChange change{FileChangeKind::FolderCreated, std::string(path)};
  if (!listener->FileChanging(change)) return -1;
  if (inner_.Mkdir(path) != 0) return -1;
  listener->FileChanged(change);
  return 0;
}

bool ObservedFileSystem::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  RunEvents* listener = ListenerFor(to);
  if (!listener) return inner_.CopyFile(from, to, failIfExists);
  const FileChange change = ChangeOf(to, FileChangeKind::Replaced);
  if (!listener->FileChanging(change)) return false;
  if (!inner_.CopyFile(from, to, failIfExists)) return false;
  listener->FileChanged(change);
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
  if (!listener || inner_.Access(path) != 0) return inner_.Remove(path);
  const FileChange change{FileChangeKind::Removed, std::string(path)};
  if (!listener->FileChanging(change)) return false;
  if (!inner_.Remove(path)) return false;
  listener->FileChanged(change);
  return true;
}

bool ObservedFileSystem::Rename(std::string_view from, std::string_view to) {
  return Move(from, to, &FileSystem::Rename);
}

bool ObservedFileSystem::Replace(std::string_view from, std::string_view to) {
  return Move(from, to, &FileSystem::Replace);
}

// Both ends change: the source goes away, the target appears or is replaced.
bool ObservedFileSystem::Move(std::string_view from, std::string_view to, MoveOperation move) {
  RunEvents* fromListener = ListenerFor(from);
  RunEvents* toListener = ListenerFor(to);
  const FileChange removal{FileChangeKind::Removed, std::string(from)};
  const FileChange arrival = ChangeOf(to, FileChangeKind::Replaced);
  if (fromListener && !fromListener->FileChanging(removal)) return false;
  if (toListener && !toListener->FileChanging(arrival)) return false;
  if (!(inner_.*move)(from, to)) return false;
  if (fromListener) fromListener->FileChanged(removal);
  if (toListener) toListener->FileChanged(arrival);
  if (toListener) toListener->ContentMoved(removal.path, arrival.path);
  return true;
}

std::unique_ptr<OutputFile> ObservedFileSystem::Create(std::string_view path) {
  RunEvents* listener = ListenerFor(path);
  if (!listener) return inner_.Create(path);
  // A file that held the name is removed first: the new one is a file of its own.
  const FileChange change = ChangeOf(path, FileChangeKind::Replaced);
  if (!listener->FileChanging(change)) return nullptr;
  auto file = inner_.Create(path);
  if (!file) return nullptr;
  listener->FileChanged(change);
  return std::make_unique<ObservedOutputFile>(std::move(file), *listener, path);
}

std::unique_ptr<AtomicFile> ObservedFileSystem::BeginReplace(std::string_view path) {
  RunEvents* listener = ListenerFor(path);
  auto file = inner_.BeginReplace(path);
  if (!listener || !file) return file;
  return std::make_unique<ObservedAtomicFile>(std::move(file), *listener,
                                              ChangeOf(path, FileChangeKind::Replaced));
}

}  // namespace tovrin
