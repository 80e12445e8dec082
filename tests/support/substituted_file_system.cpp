#include "tests/support/substituted_file_system.hpp"

#include <cctype>

#include "platform/path_text.hpp"

namespace tovrin::testing {
namespace {

char DriveLetterOf(std::string_view path) {
  if (path.size() < 2 || path[1] != ':' || !std::isalpha(static_cast<unsigned char>(path[0])))
    return 0;
  return static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])));
}

}  // namespace

SubstitutedFileSystem::SubstitutedFileSystem(DriveTable drives,
                                             std::filesystem::path windowsDirectory)
    : drives_(std::move(drives)),
      windowsDirectory_(std::move(windowsDirectory)) {
  for (const auto& drive : drives_.Drives()) {
    auto root = Win32FileSystem::ToWindowsPath(drive.root);
    if (!root) continue;
    while (!root->empty() && path_text::IsSeparator(root->back())) root->pop_back();
    roots_[drive.letter] = *root;
  }
  currentDrive_ = roots_.contains('C') ? 'C' : roots_.empty() ? 0 : roots_.begin()->first;
}

std::optional<std::pair<char, std::string>> SubstitutedFileSystem::Absolute(
    std::string_view path) const {
  const char letter = DriveLetterOf(path);
  const char drive = letter != 0 ? letter : currentDrive_;
  std::string_view rest = letter != 0 ? path.substr(2) : path;
  std::vector<std::string> parts;
  if (rest.empty() || !path_text::IsSeparator(rest.front())) {
    const auto current = currentFolders_.find(drive);
    if (current != currentFolders_.end()) parts = path_text::Components(current->second);
  }
  for (auto& part : path_text::Components(rest)) {
    if (part == ".") continue;
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
      continue;
    }
    parts.push_back(std::move(part));
  }
  std::string below;
  for (const auto& part : parts) below += "\\" + part;
  return std::pair{drive, below};
}

std::optional<std::string> SubstitutedFileSystem::Real(std::string_view path) const {
  const auto absolute = Absolute(path);
  if (!absolute) return std::nullopt;
  const auto root = roots_.find(absolute->first);
  if (root == roots_.end()) return std::nullopt;
  return root->second + (absolute->second.empty() ? "\\" : absolute->second);
}

std::string SubstitutedFileSystem::Seen(const std::string& real) const {
  const std::pair<const char, std::string>* best = nullptr;
  for (const auto& entry : roots_) {
    const auto& root = entry.second;
    if (real.size() < root.size() ||
        !path_text::EqualsIgnoreCase(real.substr(0, root.size()), root))
      continue;
    if (real.size() > root.size() && !path_text::IsSeparator(real[root.size()])) continue;
    if (best == nullptr || root.size() > best->second.size()) best = &entry;
  }
  if (best == nullptr) return real;
  const std::string below = real.substr(best->second.size());
  return std::string{best->first, ':'} + (below.empty() ? "\\" : below);
}

DriveType SubstitutedFileSystem::GetDriveType(std::string_view root) const {
  const Drive* drive = drives_.Find(DriveLetterOf(root));
  return drive != nullptr ? drive->type : DRIVE_NO_ROOT_DIR;
}

std::vector<char> SubstitutedFileSystem::DriveLetters() const {
  std::vector<char> letters;
  for (const auto& entry : roots_) letters.push_back(entry.first);
  return letters;
}

std::optional<std::filesystem::path> SubstitutedFileSystem::Resolve(std::string_view path) const {
  const auto real = Real(path);
  return real ? Win32FileSystem::Resolve(*real) : std::nullopt;
}

std::optional<std::string> SubstitutedFileSystem::ToWindowsPath(
    const std::filesystem::path& host) const {
  const auto real = Win32FileSystem::ToWindowsPath(host);
  if (!real) return std::nullopt;
  auto seen = Seen(*real);
  if (seen == *real) return std::nullopt;
  return seen;
}

Presence SubstitutedFileSystem::Exists(std::string_view path) const {
  const auto real = Real(path);
  return real ? Win32FileSystem::Exists(*real) : Presence::Absent;
}

std::optional<std::string> SubstitutedFileSystem::FinalPath(std::string_view path) const {
  const auto real = Real(path);
  const auto final = real ? Win32FileSystem::FinalPath(*real) : std::nullopt;
  if (!final) return std::nullopt;
  return Seen(*final);
}

int SubstitutedFileSystem::Mkdir(std::string_view path) {
  const auto real = Real(path);
  return real ? Win32FileSystem::Mkdir(*real) : -1;
}

int SubstitutedFileSystem::Chdir(std::string_view path) {
  const auto absolute = Absolute(path);
  const auto real = Real(path);
  FileStatus status;
  if (!absolute || !real || !Win32FileSystem::GetStatus(*real, status) ||
      (status.attribute & ATTR_DIRECTORY) == 0) {
    return -1;
  }
  currentDrive_ = absolute->first;
  currentFolders_[absolute->first] = absolute->second;
  return 0;
}

int SubstitutedFileSystem::Chdrive(int drive) {
  if (drive < 1 || drive > 26 || !roots_.contains(static_cast<char>('A' + drive - 1))) return -1;
  currentDrive_ = static_cast<char>('A' + drive - 1);
  return 0;
}

int SubstitutedFileSystem::Getdrive() const {
  return currentDrive_ == 0 ? 0 : currentDrive_ - 'A' + 1;
}

std::string SubstitutedFileSystem::Getcwd() const {
  if (currentDrive_ == 0) return {};
  const auto current = currentFolders_.find(currentDrive_);
  const std::string below = current == currentFolders_.end() ? std::string() : current->second;
  return std::string{currentDrive_, ':'} + (below.empty() ? "\\" : below);
}

std::string SubstitutedFileSystem::GetWindowsDirectory() const {
  if (windowsDirectory_.empty()) return Win32FileSystem::GetWindowsDirectory();
  return ToWindowsPath(windowsDirectory_).value_or(std::string());
}

bool SubstitutedFileSystem::CopyFile(std::string_view from, std::string_view to,
                                     bool failIfExists) {
  const auto source = Real(from);
  const auto target = Real(to);
  return source && target && Win32FileSystem::CopyFile(*source, *target, failIfExists);
}

bool SubstitutedFileSystem::GetStatus(std::string_view path, FileStatus& status) const {
  const auto real = Real(path);
  if (!real || !Win32FileSystem::GetStatus(*real, status)) return false;
  status.fullName = Seen(status.fullName);
  return true;
}

bool SubstitutedFileSystem::SetStatus(std::string_view path, const FileStatus& status) {
  const auto real = Real(path);
  return real && Win32FileSystem::SetStatus(*real, status);
}

bool SubstitutedFileSystem::Remove(std::string_view path) {
  const auto real = Real(path);
  return real && Win32FileSystem::Remove(*real);
}

bool SubstitutedFileSystem::Replace(std::string_view from, std::string_view to) {
  const auto source = Real(from);
  const auto target = Real(to);
  return source && target && Win32FileSystem::Replace(*source, *target);
}

std::unique_ptr<InputFile> SubstitutedFileSystem::OpenRead(std::string_view path,
                                                           OpenAccess access) {
  const auto real = Real(path);
  return real ? Win32FileSystem::OpenRead(*real, access) : nullptr;
}

std::unique_ptr<OutputFile> SubstitutedFileSystem::Create(std::string_view path) {
  const auto real = Real(path);
  return real ? Win32FileSystem::Create(*real) : nullptr;
}

bool SubstitutedFileSystem::Flush(std::string_view path) {
  const auto real = Real(path);
  return real && Win32FileSystem::Flush(*real);
}

std::unique_ptr<AtomicFile> SubstitutedFileSystem::BeginReplace(std::string_view path) {
  const auto real = Real(path);
  return real ? Win32FileSystem::BeginReplace(*real) : nullptr;
}

std::optional<std::vector<FindEntry>> SubstitutedFileSystem::SearchFiles(
    std::string_view pattern) const {
  const auto real = Real(pattern);
  if (!real) return std::vector<FindEntry>{};
  auto entries = Win32FileSystem::SearchFiles(*real);
  if (!entries) return std::nullopt;
  // A substituted drive's root lists no "." and "..", as a real root does not.
  const auto absolute = Absolute(pattern);
  if (absolute && path_text::Components(absolute->second).size() <= 1) {
    std::erase_if(*entries, [](const FindEntry& entry) { return entry.IsDots(); });
  }
  return entries;
}

ProductLockResult SubstitutedFileSystem::LockProduct(std::string_view folder) {
  const auto real = Real(folder);
  if (!real) return {};
  return Win32FileSystem::LockProduct(*real);
}

}  // namespace tovrin::testing
