// The open files of PosixFileSystem: reading, writing, and the replacement
// that appears whole or not at all.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/dos_attributes.hpp"
#include "platform/posix/file_system.hpp"

namespace tovrin {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kWriteBuffer = 64 * 1024;

bool WriteAll(int descriptor, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(descriptor, bytes.data(), bytes.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

}  // namespace

void SyncFolder(const fs::path& folder) {
  const int descriptor = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (descriptor < 0) return;
  ::fsync(descriptor);
  ::close(descriptor);
}

PosixInputFile::~PosixInputFile() { ::close(descriptor_); }

std::optional<std::size_t> PosixInputFile::Read(char* buffer, std::size_t size) {
  for (;;) {
    const ssize_t count = ::read(descriptor_, buffer, size);
    if (count >= 0) return static_cast<std::size_t>(count);
    if (errno != EINTR) return std::nullopt;
  }
}

PosixOutputFile::~PosixOutputFile() { Close(); }

bool PosixOutputFile::Write(std::string_view bytes) {
  if (descriptor_ < 0 || failed_) return false;
  buffer_.append(bytes);
  return buffer_.size() < kWriteBuffer || Drain();
}

bool PosixOutputFile::Drain() {
  if (failed_) return false;
  failed_ = !WriteAll(descriptor_, buffer_);
  buffer_.clear();
  return !failed_;
}

bool PosixOutputFile::Flush() {
  if (descriptor_ < 0 || !Drain()) return false;
  return ::fsync(descriptor_) == 0;
}

bool PosixOutputFile::Close() {
  if (descriptor_ < 0) return !failed_;
  const bool drained = Drain();
  const bool closed = ::close(descriptor_) == 0;
  descriptor_ = -1;
  return drained && closed;
}

PosixAtomicFile::PosixAtomicFile(int descriptor, fs::path temporary, fs::path target)
    : output_(descriptor),
      temporary_(std::move(temporary)),
      target_(std::move(target)) {}

PosixAtomicFile::~PosixAtomicFile() {
  if (!committed_) Discard();
}

bool PosixAtomicFile::Write(std::string_view bytes) { return output_.Write(bytes); }

bool PosixAtomicFile::Flush() { return output_.Flush(); }

bool PosixAtomicFile::Close() { return output_.Close(); }

bool PosixAtomicFile::Commit() {
  if (committed_ || output_.Descriptor() < 0) return false;
  if (!TakeOverTargetAttributes() || !Flush() || !Close() || !RenameIntoPlace()) {
    Discard();
    return false;
  }
  committed_ = true;
  SyncFolder(target_.parent_path());
  return true;
}

bool PosixAtomicFile::RenameIntoPlace() {
  return ::rename(temporary_.c_str(), target_.c_str()) == 0;
}

// The replacement keeps the mode, owner and stored DOS bits of the file it
// replaces; a file that became read-only meanwhile is not replaced.
bool TakeOverReplacedAttributes(const std::filesystem::path& replaced,
                                const std::filesystem::path& replacement) {
  struct stat old {};
  if (::stat(replaced.c_str(), &old) != 0) return errno == ENOENT;
  if (!S_ISREG(old.st_mode) || dos_attributes::IsReadOnly(old)) return false;
  struct stat mine {};
  if (::stat(replacement.c_str(), &mine) == 0 &&
      (mine.st_uid != old.st_uid || mine.st_gid != old.st_gid)) {
    // Only possible for a privileged caller; otherwise the new owner stays.
    [[maybe_unused]] const int ignored = ::chown(replacement.c_str(), old.st_uid, old.st_gid);
  }
  if (::chmod(replacement.c_str(), old.st_mode & 07777) != 0) return false;
  return dos_attributes::WriteStored(replacement, dos_attributes::ReadStored(replaced));
}

bool PosixAtomicFile::TakeOverTargetAttributes() {
  return TakeOverReplacedAttributes(target_, temporary_);
}

void PosixAtomicFile::Discard() {
  output_.Close();
  if (temporary_.empty()) return;
  ::unlink(temporary_.c_str());
  temporary_.clear();
}

}  // namespace tovrin
