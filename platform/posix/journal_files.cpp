#include "platform/posix/journal_files.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/posix/folder_owner.hpp"
#include "platform/posix/dos_attributes.hpp"
#include "platform/posix/file_system.hpp"
#include "platform/temporary_name.hpp"

namespace tovrin {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCopyBuffer = 256 * 1024;

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

}  // namespace

std::unique_ptr<JournalFiles> MakeJournalFiles() { return std::make_unique<PosixJournalFiles>(); }

LinkResult PosixJournalFiles::Link(const fs::path& file, const fs::path& kept) {
  if (::link(file.c_str(), kept.c_str()) == 0) return LinkResult::Linked;
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
  struct stat status {};
  const int source = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (source < 0) return false;
  if (::fstat(source, &status) != 0) {
    ::close(source);
    return false;
  }
  const int target = ::open(kept.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                            0600);
  if (target < 0) {
    ::close(source);
    return false;
  }
  PosixOutputFile copy(target);
  const struct timespec times[2] = {status.st_atim, status.st_mtim};
  // Put back, it must be the owner's file as before, not the run's.
  if (::geteuid() == 0 && ::fchown(target, status.st_uid, status.st_gid) != 0) return false;
  // The stored bits first: a read-only mode would forbid writing them.
  return CopyContent(source, copy) && copy.Flush() &&
         dos_attributes::WriteStored(kept, dos_attributes::ReadStored(file)) &&
         ::futimens(target, times) == 0 && ::fchmod(target, status.st_mode & 07777) == 0 &&
         copy.Close();
}

bool PosixJournalFiles::FlushFolder(const fs::path& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return false;
  const bool flushed = ::fsync(descriptor) == 0;
  ::close(descriptor);
  return flushed;
}

bool PosixJournalFiles::AppendDurably(const fs::path& file, std::string_view bytes) {
  const bool created = !Exists(file);
  const int descriptor =
      ::open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (descriptor < 0) return false;
  PosixOutputFile output(descriptor);
  if (!output.Write(bytes) || !output.Flush() || !output.Close()) return false;
  if (created) {
    folder_owner::TakeParentOwner(file);
    SyncFolder(file.parent_path());
  }
  return true;
}

std::optional<std::string> PosixJournalFiles::ReadWhole(const fs::path& file) const {
  const int descriptor = ::open(file.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  PosixInputFile input(descriptor);
  return ReadToEnd(input);
}

bool PosixJournalFiles::MoveBack(const fs::path& from, const fs::path& to) {
  if (::rename(from.c_str(), to.c_str()) != 0) {
    if (errno != EXDEV) return false;
    const fs::path beside = to.parent_path() / temporary_name::Make();
    const bool copied = CopyWhole(from, beside) && ::rename(beside.c_str(), to.c_str()) == 0;
    if (!copied) {
      ::unlink(beside.c_str());
      return false;
    }
    // Gone only once its copy is in place; a crash before leaves it to retry.
    SyncFolder(to.parent_path());
    if (::unlink(from.c_str()) != 0) return false;
  }
  SyncFolder(to.parent_path());
  return true;
}

bool PosixJournalFiles::Unchanged(const fs::path& kept, const fs::path& file) const {
  struct stat old {};
  struct stat now {};
  if (::lstat(kept.c_str(), &old) != 0 || ::lstat(file.c_str(), &now) != 0) return false;
  if (old.st_dev == now.st_dev && old.st_ino == now.st_ino) return true;
  if (!S_ISREG(old.st_mode) || !S_ISREG(now.st_mode) || old.st_size != now.st_size ||
      (old.st_mode & 07777) != (now.st_mode & 07777)) {
    return false;
  }
  const auto oldContent = ReadWhole(kept);
  return oldContent && oldContent == ReadWhole(file);
}

bool PosixJournalFiles::MakeFolders(const fs::path& folder) {
  std::error_code error;
  if (fs::is_directory(folder, error)) return true;
  if (folder.has_parent_path() && folder.parent_path() != folder && !MakeFolders(folder.parent_path())) {
    return false;
  }
  if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return false;
  folder_owner::TakeParentOwner(folder);
  return fs::is_directory(folder, error);
}

bool PosixJournalFiles::RemoveEntry(const fs::path& path) {
  if (::remove(path.c_str()) == 0 || errno == ENOENT) {
    SyncFolder(path.parent_path());
    return true;
  }
  return false;
}

bool PosixJournalFiles::RemoveTree(const fs::path& folder) {
  std::error_code error;
  fs::remove_all(folder, error);
  if (error) return false;
  SyncFolder(folder.parent_path());
  return true;
}

bool PosixJournalFiles::Exists(const fs::path& path) const {
  struct stat status {};
  return ::lstat(path.c_str(), &status) == 0;
}

}  // namespace tovrin
