#include "platform/posix/file_system.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>

#include "platform/cp932.hpp"
#include "platform/posix/dos_attributes.hpp"
#include "platform/posix/folder_owner.hpp"
#include "platform/path_text.hpp"
#include "platform/product_lock.hpp"
#include "platform/posix/regular_file.hpp"
#include "platform/temporary_name.hpp"
#include "platform/wildcard.hpp"

namespace tovrin {
namespace fs = std::filesystem;

namespace {

char DriveLetterOf(std::string_view path) {
  if (path.size() < 2 || path[1] != ':') return 0;
  const char letter = static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
  return letter >= 'A' && letter <= 'Z' ? letter : 0;
}

// Only these mean "there is no such file"; any other error leaves it unknown.
bool IsAbsence(int error) { return error == ENOENT || error == ENOTDIR; }

bool StatHost(const fs::path& host, struct stat& status) {
  return ::stat(host.c_str(), &status) == 0;
}

bool IsRegularFile(const fs::path& host) {
  struct stat status {};
  return StatHost(host, status) && S_ISREG(status.st_mode);
}

bool IsFolder(const fs::path& host) {
  struct stat status {};
  return StatHost(host, status) && S_ISDIR(status.st_mode);
}

// Whether `host` is a folder; Unknown when it could not be looked at, which
// no caller may take for "no folder here".
Presence FolderPresence(const fs::path& host) {
  struct stat status {};
  if (!StatHost(host, status)) return IsAbsence(errno) ? Presence::Absent : Presence::Unknown;
  return S_ISDIR(status.st_mode) ? Presence::Present : Presence::Absent;
}

// An existing file that Windows would refuse to overwrite or delete; one
// whose state cannot be read counts as protected.
bool IsProtected(const fs::path& host, std::uint8_t refusedBits) {
  struct stat status {};
  if (!StatHost(host, status)) return !IsAbsence(errno);
  return (dos_attributes::Read(host, status) & refusedBits) != 0;
}

// A new file of its own in `folder`, created with the usual mode.
int CreateTemporary(const fs::path& folder, fs::path& temporary) {
  for (int attempt = 0; attempt < 64; ++attempt) {
    temporary = folder / temporary_name::Make();
    const int descriptor =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (descriptor >= 0) folder_owner::TakeParentOwner(temporary);
    if (descriptor >= 0 || errno != EEXIST) return descriptor;
  }
  return -1;
}

std::time_t CreationTime(const fs::path& host, const struct stat& status) {
  struct statx extended {};
  if (::statx(AT_FDCWD, host.c_str(), 0, STATX_BTIME, &extended) == 0 &&
      (extended.stx_mask & STATX_BTIME) != 0) {
    return static_cast<std::time_t>(extended.stx_btime.tv_sec);
  }
  return status.st_mtime;
}

bool SetTimes(const fs::path& host, const FileStatus& status) {
  if (status.modificationTime == 0) return true;
  const std::time_t access = status.accessTime != 0 ? status.accessTime : status.modificationTime;
  const struct timespec times[2] = {{access, 0}, {status.modificationTime, 0}};
  return ::utimensat(AT_FDCWD, host.c_str(), times, 0) == 0;
}

// Host paths compared part by part, so "/srv/c" is not a root of "/srv/cd".
std::vector<fs::path> HostParts(const fs::path& path) {
  std::vector<fs::path> parts;
  for (const auto& part : path) {
    if (!part.empty()) parts.push_back(part);
  }
  return parts;
}

// "C:\DIR\*.TXT" gives "C:\DIR\" and "*.TXT"; "C:*.TXT" gives "C:"; a bare
// pattern searches the current folder.
std::pair<std::string, std::string_view> SplitPattern(std::string_view pattern) {
  const std::size_t separator = path_text::LastSeparator(pattern);
  if (separator != std::string_view::npos) {
    return {std::string(pattern.substr(0, separator + 1)), pattern.substr(separator + 1)};
  }
  if (DriveLetterOf(pattern) != 0) return {std::string(pattern.substr(0, 2)), pattern.substr(2)};
  return {".", pattern};
}

}  // namespace

PosixFileSystem::PosixFileSystem(DriveTable drives, fs::path windowsDirectory)
    : drives_(std::move(drives)),
      windowsDirectory_(std::move(windowsDirectory)) {
  if (drives_.Find('C') != nullptr) {
    currentDrive_ = 'C';
  } else if (!drives_.Empty()) {
    currentDrive_ = drives_.Drives().front().letter;
  }
}

DriveType PosixFileSystem::GetDriveType(std::string_view root) const {
  char letter = currentDrive_;
  if (!root.empty()) {
    letter = DriveLetterOf(root);
    const bool rootForm = root.size() == 2 || (root.size() == 3 && path_text::IsSeparator(root[2]));
    if (letter == 0 || !rootForm) return DRIVE_NO_ROOT_DIR;
  }
  const Drive* drive = drives_.Find(letter);
  return drive == nullptr ? DRIVE_NO_ROOT_DIR : drive->type;
}

std::vector<char> PosixFileSystem::DriveLetters() const {
  std::vector<char> letters;
  for (const auto& drive : drives_.Drives()) letters.push_back(drive.letter);
  return letters;
}

std::optional<PosixFileSystem::Location> PosixFileSystem::Locate(std::string_view path) const {
  Location location{currentDrive_, {}};
  if (path.find('\0') != std::string_view::npos) return std::nullopt;
  if (const char letter = DriveLetterOf(path)) {
    location.drive = letter;
    path.remove_prefix(2);
  } else if (path.size() >= 2 && path_text::IsSeparator(path[0]) &&
             path_text::IsSeparator(path[1])) {
    return std::nullopt;  // a network share name: no drive maps it
  }
  if (location.drive == 0 || drives_.Find(location.drive) == nullptr) return std::nullopt;
  if (path.empty() || !path_text::IsSeparator(path[0])) {
    const auto current = currentFolders_.find(location.drive);
    if (current != currentFolders_.end()) location.parts = current->second;
  }
  for (auto& part : path_text::Components(path)) {
    if (part == ".") continue;
    if (part != "..") {
      location.parts.push_back(std::move(part));
    } else if (!location.parts.empty()) {
      location.parts.pop_back();
    }
  }
  return location;
}

int PosixFileSystem::LookUpHost(const fs::path& host, struct stat& status) const {
  return ::lstat(host.c_str(), &status);
}

// The exact host name wins; otherwise the first name, in byte order, that
// equals the part without regard to letter case.
std::optional<PosixFileSystem::FolderEntry> PosixFileSystem::FindInFolder(
    const fs::path& folder, const std::string& part, const std::string& hostName,
    bool& failed) const {
  struct stat status {};
  if (LookUpHost(folder / hostName, status) == 0) return FolderEntry{hostName, part};
  if (!IsAbsence(errno)) {
    failed = true;
    return std::nullopt;
  }
  // The program spells its own temporaries one way only: listing a folder of
  // thousands for each of them would make staging quadratic.
  if (temporary_name::IsTemporary(part)) return std::nullopt;
  std::optional<FolderEntry> best;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    std::string name = entry.path().filename().string();
    const auto converted = cp932::FromUtf8(name);
    if (!converted || !path_text::EqualsIgnoreCase(*converted, part)) continue;
    if (!best || name < best->host) best = FolderEntry{std::move(name), *converted};
  }
  failed = error && !IsAbsence(error.value());
  return failed ? std::nullopt : best;
}

std::optional<PosixFileSystem::HostMatch> PosixFileSystem::LookUp(const Location& location) const {
  HostMatch match{drives_.Find(location.drive)->root, {}, true};
  const Presence root = RootPresence(match.host);
  match.exists = root == Presence::Present;
  match.failed = root == Presence::Unknown;
  for (const auto& part : location.parts) {
    const auto hostName = cp932::ToUtf8(part);
    if (!hostName) return std::nullopt;
    const auto found =
        match.exists ? FindInFolder(match.host, part, *hostName, match.failed) : std::nullopt;
    match.exists = found.has_value();
    match.host /= found ? found->host : *hostName;
    match.spelling.push_back(found ? found->cp932 : part);
  }
  return match;
}

// A drive's folder, looked up through the same hook as every path in it; a
// drive mapped to a link is looked at where it leads.
Presence PosixFileSystem::RootPresence(const fs::path& root) const {
  struct stat status {};
  if (LookUpHost(root, status) != 0) return IsAbsence(errno) ? Presence::Absent : Presence::Unknown;
  if (S_ISLNK(status.st_mode)) return FolderPresence(root);
  return S_ISDIR(status.st_mode) ? Presence::Present : Presence::Absent;
}

// A lookup that failed for another reason than "no such file" fails the
// operation: an unreadable folder is not an empty one.
std::optional<PosixFileSystem::HostMatch> PosixFileSystem::Match(const Location& location) const {
  auto match = LookUp(location);
  if (!match || match->failed) return std::nullopt;
  return match;
}

std::optional<PosixFileSystem::HostMatch> PosixFileSystem::MatchPath(std::string_view path) const {
  const auto location = Locate(path);
  if (!location) return std::nullopt;
  return Match(*location);
}

std::optional<PosixFileSystem::HostMatch> PosixFileSystem::MatchExisting(
    std::string_view path) const {
  auto match = MatchPath(path);
  if (!match || !match->exists) return std::nullopt;
  return match;
}

std::string PosixFileSystem::WindowsPath(char drive, const std::vector<std::string>& parts) const {
  std::string path{drive, ':'};
  for (const auto& part : parts) path += "\\" + part;
  if (parts.empty()) path += "\\";
  return path;
}

std::optional<fs::path> PosixFileSystem::Resolve(std::string_view path) const {
  const auto match = MatchPath(path);
  if (!match) return std::nullopt;
  return match->host;
}

std::optional<std::string> PosixFileSystem::ToWindowsPath(const fs::path& host) const {
  std::error_code error;
  const auto hostParts = HostParts(fs::weakly_canonical(fs::absolute(host), error));
  if (error) return std::nullopt;
  const Drive* best = nullptr;
  std::size_t bestLength = 0;
  for (const auto& drive : drives_.Drives()) {
    const auto rootParts = HostParts(drive.root);
    if (rootParts.size() > hostParts.size() || (best != nullptr && rootParts.size() <= bestLength))
      continue;
    if (!std::equal(rootParts.begin(), rootParts.end(), hostParts.begin())) continue;
    best = drives_.Find(drive.letter);
    bestLength = rootParts.size();
  }
  if (best == nullptr) return std::nullopt;
  std::vector<std::string> parts;
  for (auto part = hostParts.begin() + static_cast<std::ptrdiff_t>(bestLength);
       part != hostParts.end(); ++part) {
    auto converted = cp932::FromUtf8(part->string());
    if (!converted) return std::nullopt;
    parts.push_back(std::move(*converted));
  }
  return WindowsPath(best->letter, parts);
}

Presence PosixFileSystem::Exists(std::string_view path) const {
  const auto location = Locate(path);
  const auto match = location ? LookUp(*location) : std::nullopt;
  if (!match) return Presence::Absent;
  if (match->failed) return Presence::Unknown;
  return match->exists ? Presence::Present : Presence::Absent;
}

std::optional<std::string> PosixFileSystem::FinalPath(std::string_view path) const {
  const auto match = MatchExisting(path);
  if (!match) return std::nullopt;
  std::error_code error;
  const fs::path final = fs::canonical(match->host, error);
  if (error) return std::nullopt;
  return ToWindowsPath(final);
}

int PosixFileSystem::Mkdir(std::string_view path) {
  const auto match = MatchPath(path);
  if (!match || match->exists) return -1;
  if (::mkdir(match->host.c_str(), 0777) != 0) return -1;
  folder_owner::TakeParentOwner(match->host);
  return 0;
}

// As the runtime library does, a drive letter in the path also makes that
// drive the current one.
int PosixFileSystem::Chdir(std::string_view path) {
  const auto location = Locate(path);
  if (!location) return -1;
  const auto match = Match(*location);
  if (!match || !match->exists || !IsFolder(match->host)) return -1;
  currentFolders_[location->drive] = match->spelling;
  currentDrive_ = location->drive;
  return 0;
}

int PosixFileSystem::Chdrive(int drive) {
  if (drive < 1 || drive > 26) return -1;
  const char letter = static_cast<char>('A' + drive - 1);
  if (drives_.Find(letter) == nullptr) return -1;
  currentDrive_ = letter;
  return 0;
}

int PosixFileSystem::Getdrive() const { return currentDrive_ == 0 ? 0 : currentDrive_ - 'A' + 1; }

std::string PosixFileSystem::Getcwd() const {
  if (currentDrive_ == 0) return {};
  const auto current = currentFolders_.find(currentDrive_);
  return WindowsPath(currentDrive_, current == currentFolders_.end() ? std::vector<std::string>{}
                                                                     : current->second);
}

std::string PosixFileSystem::GetWindowsDirectory() const {
  std::error_code error;
  const fs::path folder =
      windowsDirectory_.empty() ? fs::temp_directory_path(error) : windowsDirectory_;
  if (error) return {};
  return ToWindowsPath(folder).value_or(std::string{});
}

bool PosixFileSystem::CopyContent(const fs::path& from, AtomicFile& to) {
  const int descriptor = OpenRegularFile(from, O_RDONLY);
  if (descriptor < 0) return false;
  PosixInputFile input(descriptor);
  std::string buffer(64 * 1024, '\0');
  for (;;) {
    const auto count = input.Read(buffer.data(), buffer.size());
    if (!count) return false;
    if (*count == 0) return true;
    if (!to.Write(std::string_view(buffer.data(), *count))) return false;
  }
}

// The copy takes the source's attributes and modification time, as CopyFileA
// does; it appears whole or not at all.
bool PosixFileSystem::CopyFile(std::string_view from, std::string_view to, bool failIfExists) {
  const auto source = MatchExisting(from);
  const auto target = MatchPath(to);
  struct stat sourceStatus {};
  if (!source || !target || !StatHost(source->host, sourceStatus) ||
      !S_ISREG(sourceStatus.st_mode)) {
    return false;
  }
  if (target->exists && (failIfExists || !IsRegularFile(target->host) ||
                         IsProtected(target->host, ATTR_READONLY | ATTR_HIDDEN))) {
    return false;
  }
  auto copy = BeginReplaceHost(target->host);
  if (!copy || !CopyContent(source->host, *copy) || !copy->Commit()) return false;
  FileStatus times;
  times.modificationTime = sourceStatus.st_mtime;
  times.accessTime = sourceStatus.st_atime;
  return SetTimes(target->host, times) &&
         dos_attributes::Write(target->host, dos_attributes::Read(source->host, sourceStatus));
}

bool PosixFileSystem::GetStatus(std::string_view path, FileStatus& status) const {
  const auto location = Locate(path);
  if (!location) return false;
  const auto match = Match(*location);
  struct stat host {};
  if (!match || !match->exists || !StatHost(match->host, host)) return false;
  status.creationTime = CreationTime(match->host, host);
  status.modificationTime = host.st_mtime;
  status.accessTime = host.st_atime;
  status.size = S_ISREG(host.st_mode) ? static_cast<std::uint64_t>(host.st_size) : 0;
  status.attribute = dos_attributes::Read(match->host, host);
  status.fullName = WindowsPath(location->drive, match->spelling);
  return true;
}

// Times first: a file made read-only keeps the times it was given.
bool PosixFileSystem::SetStatus(std::string_view path, const FileStatus& status) {
  const auto match = MatchExisting(path);
  if (!match) return false;
  return SetTimes(match->host, status) && dos_attributes::Write(match->host, status.attribute);
}

bool PosixFileSystem::Remove(std::string_view path) {
  const auto match = MatchExisting(path);
  if (!match || !IsRegularFile(match->host) || IsProtected(match->host, ATTR_READONLY))
    return false;
  return ::unlink(match->host.c_str()) == 0;
}

bool PosixFileSystem::Replace(std::string_view from, std::string_view to) {
  return Rename(from, to, true);
}

bool PosixFileSystem::ReplaceUnflushed(std::string_view from, std::string_view to) {
  return Rename(from, to, false);
}

bool PosixFileSystem::Rename(std::string_view from, std::string_view to, bool flushed) {
  const auto source = MatchExisting(from);
  const auto target = MatchPath(to);
  if (!source || !target || !IsRegularFile(source->host)) return false;
  if (target->exists && !TakeOverReplacedAttributes(target->host, source->host)) return false;
  if (::rename(source->host.c_str(), target->host.c_str()) != 0) return false;
  if (!flushed) return true;
  // On the disk, as a replacement's own rename is: a later step may count on it.
  SyncFolder(target->host.parent_path());
  if (source->host.parent_path() != target->host.parent_path())
    SyncFolder(source->host.parent_path());
  return true;
}

bool PosixFileSystem::Flush(std::string_view path) {
  const auto match = MatchExisting(path);
  if (!match) return false;
  const int descriptor = ::open(match->host.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
  if (descriptor < 0) return false;
  const bool flushed = ::fsync(descriptor) == 0;
  ::close(descriptor);
  return flushed;
}

std::unique_ptr<InputFile> PosixFileSystem::OpenRead(std::string_view path, OpenAccess access) {
  const auto match = MatchExisting(path);
  if (!match || !IsRegularFile(match->host)) return nullptr;
  const bool writing = access == OpenAccess::ReadWrite;
  if (writing && IsProtected(match->host, ATTR_READONLY)) return nullptr;
  const int descriptor = OpenRegularFile(match->host, writing ? O_RDWR : O_RDONLY);
  if (descriptor < 0) return nullptr;
  return MakeInputFile(descriptor);
}

// The file is always made new, never opened through what held its name: a
// planted link is removed, not followed.
std::unique_ptr<OutputFile> PosixFileSystem::Create(std::string_view path) {
  const auto match = MatchPath(path);
  if (!match) return nullptr;
  struct stat status {};
  if (::lstat(match->host.c_str(), &status) == 0) {
    const bool removable = S_ISLNK(status.st_mode) ||
                           (S_ISREG(status.st_mode) && !IsProtected(match->host, ATTR_READONLY));
    if (!removable || ::unlink(match->host.c_str()) != 0) return nullptr;
  } else if (errno != ENOENT) {
    return nullptr;
  }
  const int descriptor =
      ::open(match->host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
  if (descriptor < 0) return nullptr;
  folder_owner::TakeParentOwner(match->host);
  return MakeOutputFile(descriptor);
}

std::unique_ptr<AtomicFile> PosixFileSystem::BeginReplace(std::string_view path) {
  const auto match = MatchPath(path);
  if (!match) return nullptr;
  return BeginReplaceHost(match->host);
}

std::unique_ptr<AtomicFile> PosixFileSystem::BeginReplaceHost(const fs::path& target) {
  if (!IsFolder(target.parent_path())) return nullptr;
  // A link is never replaced by a file nor written through.
  struct stat status {};
  if (::lstat(target.c_str(), &status) == 0) {
    if (!S_ISREG(status.st_mode) || dos_attributes::IsReadOnly(status)) return nullptr;
  } else if (!IsAbsence(errno)) {
    return nullptr;
  }
  fs::path temporary;
  const int descriptor = CreateTemporary(target.parent_path(), temporary);
  if (descriptor < 0) return nullptr;
  return MakeAtomicFile(descriptor, std::move(temporary), target);
}

std::optional<std::vector<FindEntry>> PosixFileSystem::SearchFiles(std::string_view pattern) const {
  const auto [folder, namePattern] = SplitPattern(pattern);
  const auto location = Locate(folder);
  if (namePattern.empty() || !location) return std::vector<FindEntry>{};
  const auto match = LookUp(*location);
  if (!match) return std::vector<FindEntry>{};
  if (match->failed) return std::nullopt;
  const Presence folderPresence = match->exists ? FolderPresence(match->host) : Presence::Absent;
  if (folderPresence == Presence::Unknown) return std::nullopt;
  if (folderPresence == Presence::Absent) return std::vector<FindEntry>{};

  std::vector<FindEntry> entries;
  // Every folder but a drive root lists itself and its parent first.
  if (!location->parts.empty()) {
    for (const char* dots : {".", ".."}) {
      if (MatchesWildcard(dots, namePattern)) entries.push_back({dots, ATTR_DIRECTORY});
    }
  }
  const std::size_t dotCount = entries.size();
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(match->host, error)) {
    const auto name = cp932::FromUtf8(entry.path().filename().string());
    struct stat status {};
    // A host name with no CP932 spelling cannot be named by the program;
    // a link that leads nowhere is not listed.
    if (!name || !MatchesWildcard(*name, namePattern)) continue;
    if (!StatHost(entry.path(), status)) {
      if (IsAbsence(errno)) continue;
      return std::nullopt;
    }
    std::error_code linkError;
    const bool link = entry.is_symlink(linkError);
    entries.push_back({*name, dos_attributes::Read(entry.path(), status), link});
  }
  if (error) return std::nullopt;
  std::sort(entries.begin() + static_cast<std::ptrdiff_t>(dotCount), entries.end(),
            [](const FindEntry& a, const FindEntry& b) { return a.name < b.name; });
  return entries;
}

ProductLockResult PosixFileSystem::LockProduct(std::string_view folder) {
  const auto match = MatchExisting(folder);
  if (!match || !IsFolder(match->host)) return {};
  return LockProductFolder(match->host);
}

std::unique_ptr<InputFile> PosixFileSystem::MakeInputFile(int descriptor) {
  return std::make_unique<PosixInputFile>(descriptor);
}

std::unique_ptr<OutputFile> PosixFileSystem::MakeOutputFile(int descriptor) {
  return std::make_unique<PosixOutputFile>(descriptor);
}

std::unique_ptr<AtomicFile> PosixFileSystem::MakeAtomicFile(int descriptor, fs::path temporary,
                                                            fs::path target) {
  return std::make_unique<PosixAtomicFile>(descriptor, std::move(temporary), std::move(target));
}

}  // namespace tovrin
