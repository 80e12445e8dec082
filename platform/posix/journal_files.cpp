#include "platform/posix/journal_files.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/posix/dos_attributes.hpp"
#include "platform/posix/file_system.hpp"
#include "platform/posix/folder_owner.hpp"
#include "platform/temporary_name.hpp"

namespace tovrin {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCopyBuffer = 256 * 1024;

class Descriptor {
 public:
  explicit Descriptor(int descriptor = -1) : descriptor_(descriptor) {}
  ~Descriptor() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  Descriptor(Descriptor&& other) noexcept : descriptor_(other.Release()) {}
  Descriptor& operator=(Descriptor&& other) noexcept {
    if (this != &other) {
      if (descriptor_ >= 0) ::close(descriptor_);
      descriptor_ = other.Release();
    }
    return *this;
  }
  int Get() const { return descriptor_; }
  bool Valid() const { return descriptor_ >= 0; }
  int Release() {
    const int descriptor = descriptor_;
    descriptor_ = -1;
    return descriptor;
  }

 private:
  int descriptor_;
};

// A name's file attributes by its descriptor, for the stored DOS bits.
fs::path ByDescriptor(int descriptor) { return "/proc/self/fd/" + std::to_string(descriptor); }

bool IsAbsence(int error) { return error == ENOENT || error == ENOTDIR; }

bool CopyContent(int from, OutputFile& to) {
  std::string buffer(kCopyBuffer, '\0');
  PosixInputFile input(from);
  for (;;) {
    const auto count = input.Read(buffer.data(), buffer.size());
    if (!count) return false;
    if (*count == 0) return true;
    if (!to.Write(std::string_view(buffer.data(), *count))) return false;
  }
}

// Everything in the folder `name` of `parent`, then the folder; links are
// removed, never followed.
bool RemoveAt(int parent, const char* name) {
  struct stat status {};
  if (::fstatat(parent, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (!S_ISDIR(status.st_mode)) return ::unlinkat(parent, name, 0) == 0 || errno == ENOENT;
  const int folder = ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (folder < 0) return false;
  DIR* listing = ::fdopendir(folder);
  if (listing == nullptr) {
    ::close(folder);
    return false;
  }
  bool removed = true;
  for (errno = 0; const dirent* entry = ::readdir(listing); errno = 0) {
    const std::string child = entry->d_name;
    if (child == "." || child == "..") continue;
    removed = RemoveAt(folder, child.c_str()) && removed;
  }
  removed = removed && errno == 0;
  ::closedir(listing);
  return removed && (::unlinkat(parent, name, AT_REMOVEDIR) == 0 || errno == ENOENT);
}

}  // namespace

std::unique_ptr<JournalFiles> MakeJournalFiles() { return std::make_unique<PosixJournalFiles>(); }

// Each part opened from the one before with O_NOFOLLOW: a link anywhere on
// the way stops the walk, whatever is swapped in while it goes.
PosixJournalFiles::Walk PosixJournalFiles::OpenFolder(const fs::path& folder, bool create) const {
  const auto placed = BelowRoot(folder);
  if (!placed) return {-1, EntryKind::Unknown};
  Descriptor current(::open(placed->root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!current.Valid()) return {-1, EntryKind::Unknown};
  for (const fs::path& part : placed->relative) {
    if (part == "." || part.empty()) continue;
    if (create) {
      if (::mkdirat(current.Get(), part.c_str(), 0777) == 0) {
        folder_owner::TakeFolderOwner(current.Get(), part.c_str());
      } else if (errno != EEXIST) {
        return {-1, errno == ENOENT ? EntryKind::Absent : EntryKind::Unknown};
      }
    }
    const int next =
        ::openat(current.Get(), part.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (next < 0) {
      struct stat status {};
      const bool absent = errno == ENOENT || (::fstatat(current.Get(), part.c_str(), &status,
                                                        AT_SYMLINK_NOFOLLOW) == 0 &&
                                              !S_ISDIR(status.st_mode) && !S_ISLNK(status.st_mode));
      return {-1, absent ? EntryKind::Absent : EntryKind::Unknown};
    }
    current = Descriptor(next);
  }
  return {current.Release(), EntryKind::Folder};
}

LinkResult PosixJournalFiles::Link(const fs::path& file, const fs::path& kept) {
  const Descriptor from(OpenFolder(file.parent_path()).descriptor);
  const Descriptor to(OpenFolder(kept.parent_path()).descriptor);
  if (!from.Valid() || !to.Valid()) return LinkResult::Failed;
  if (::linkat(from.Get(), file.filename().c_str(), to.Get(), kept.filename().c_str(), 0) == 0) {
    return LinkResult::Linked;
  }
  switch (errno) {
    case EXDEV:
    case EPERM:  // vfat and others answer this for "no hard links here"
    case ENOTSUP:
    case EMLINK:
      return LinkResult::Unsupported;
    default:
      return LinkResult::Failed;
  }
}

bool PosixJournalFiles::CopyWhole(const fs::path& file, const fs::path& kept) {
  const Descriptor from(OpenFolder(file.parent_path()).descriptor);
  const Descriptor to(OpenFolder(kept.parent_path()).descriptor);
  if (!from.Valid() || !to.Valid()) return false;
  struct stat status {};
  const Descriptor source(
      ::openat(from.Get(), file.filename().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (!source.Valid() || ::fstat(source.Get(), &status) != 0) return false;
  const int target = ::openat(to.Get(), kept.filename().c_str(),
                              O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (target < 0) return false;
  PosixOutputFile copy(target);
  const struct timespec times[2] = {status.st_atim, status.st_mtim};
  // Put back, it must be the owner's file as before, not the run's.
  if (::geteuid() == 0 && ::fchown(target, status.st_uid, status.st_gid) != 0) return false;
  // The stored bits first: a read-only mode would forbid writing them.
  return CopyContent(::dup(source.Get()), copy) && copy.Flush() &&
         dos_attributes::WriteStored(ByDescriptor(target),
                                     dos_attributes::ReadStored(ByDescriptor(source.Get()))) &&
         ::futimens(target, times) == 0 && ::fchmod(target, status.st_mode & 07777) == 0 &&
         copy.Close();
}

bool PosixJournalFiles::FlushFolder(const fs::path& folder) {
  const Descriptor descriptor(OpenFolder(folder).descriptor);
  return descriptor.Valid() && ::fsync(descriptor.Get()) == 0;
}

bool PosixJournalFiles::AppendDurably(const fs::path& file, std::string_view bytes) {
  const Descriptor folder(OpenFolder(file.parent_path()).descriptor);
  if (!folder.Valid()) return false;
  struct stat status {};
  const bool created =
      ::fstatat(folder.Get(), file.filename().c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0;
  const int descriptor = ::openat(folder.Get(), file.filename().c_str(),
                                  O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) return false;
  PosixOutputFile output(descriptor);
  if (!output.Write(bytes) || !output.Flush() || !output.Close()) return false;
  if (created) folder_owner::TakeFolderOwner(folder.Get(), file.filename().c_str());
  return !created || ::fsync(folder.Get()) == 0;
}

std::optional<std::string> PosixJournalFiles::ReadWhole(const fs::path& file) const {
  const Descriptor folder(OpenFolder(file.parent_path()).descriptor);
  if (!folder.Valid()) return std::nullopt;
  const int descriptor =
      ::openat(folder.Get(), file.filename().c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  PosixInputFile input(descriptor);
  return ReadToEnd(input);
}

bool PosixJournalFiles::MoveBack(const fs::path& from, const fs::path& to) {
  const Descriptor source(OpenFolder(from.parent_path()).descriptor);
  const Descriptor target(OpenFolder(to.parent_path()).descriptor);
  if (!source.Valid() || !target.Valid()) return false;
  if (::renameat(source.Get(), from.filename().c_str(), target.Get(), to.filename().c_str()) == 0) {
    return ::fsync(target.Get()) == 0;
  }
  if (errno != EXDEV) return false;
  // A master folder on another file system: a copy beside the file replaces
  // it in one step, and the kept file goes only once the copy is in place,
  // so a crash before leaves it to be tried again.
  const fs::path beside = to.parent_path() / temporary_name::Make();
  const fs::path besideEntry = beside.filename();
  const char* besideName = besideEntry.c_str();
  if (!CopyWhole(from, beside) ||
      ::renameat(target.Get(), besideName, target.Get(), to.filename().c_str()) != 0) {
    ::unlinkat(target.Get(), besideName, 0);
    return false;
  }
  return ::fsync(target.Get()) == 0 && ::unlinkat(source.Get(), from.filename().c_str(), 0) == 0;
}

bool PosixJournalFiles::Unchanged(const fs::path& kept, const fs::path& file) const {
  struct stat old {};
  struct stat now {};
  if (!StatusOf(kept, old) || !StatusOf(file, now)) return false;
  if (old.st_dev == now.st_dev && old.st_ino == now.st_ino) return true;
  if (!S_ISREG(old.st_mode) || !S_ISREG(now.st_mode) || old.st_size != now.st_size ||
      (old.st_mode & 07777) != (now.st_mode & 07777)) {
    return false;
  }
  const auto oldContent = ReadWhole(kept);
  return oldContent && oldContent == ReadWhole(file);
}

bool PosixJournalFiles::StatusOf(const fs::path& path, struct stat& status) const {
  const Descriptor folder(OpenFolder(path.parent_path()).descriptor);
  return folder.Valid() &&
         ::fstatat(folder.Get(), path.filename().c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0;
}

bool PosixJournalFiles::MakeFolders(const fs::path& folder) {
  return Descriptor(OpenFolder(folder, true).descriptor).Valid();
}

bool PosixJournalFiles::RemoveEntry(const fs::path& path) {
  const Walk walk = OpenFolder(path.parent_path());
  const Descriptor folder(walk.descriptor);
  if (!folder.Valid()) return walk.kind == EntryKind::Absent;
  struct stat status {};
  const fs::path entry = path.filename();
  const char* name = entry.c_str();
  if (::fstatat(folder.Get(), name, &status, AT_SYMLINK_NOFOLLOW) != 0) return IsAbsence(errno);
  if (::unlinkat(folder.Get(), name, S_ISDIR(status.st_mode) ? AT_REMOVEDIR : 0) != 0) {
    return errno == ENOENT;
  }
  return ::fsync(folder.Get()) == 0;
}

bool PosixJournalFiles::RemoveTree(const fs::path& folder) {
  const Walk walk = OpenFolder(folder.parent_path());
  const Descriptor parent(walk.descriptor);
  if (!parent.Valid()) return walk.kind == EntryKind::Absent;
  return RemoveAt(parent.Get(), folder.filename().c_str()) && ::fsync(parent.Get()) == 0;
}

EntryKind PosixJournalFiles::KindOf(const fs::path& path) const {
  const Walk walk = OpenFolder(path.parent_path());
  const Descriptor folder(walk.descriptor);
  if (!folder.Valid()) return walk.kind;
  struct stat status {};
  if (::fstatat(folder.Get(), path.filename().c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
    return IsAbsence(errno) ? EntryKind::Absent : EntryKind::Unknown;
  }
  if (S_ISREG(status.st_mode)) return EntryKind::File;
  return S_ISDIR(status.st_mode) ? EntryKind::Folder : EntryKind::Other;
}

}  // namespace tovrin
