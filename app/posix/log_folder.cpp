#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "app/log_folder.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

std::optional<fs::path> AbsoluteFolderOf(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr || *value != '/') return std::nullopt;
  return fs::path(value);
}

}  // namespace

// $XDG_STATE_HOME/tovrin/logs, else ~/.local/state/tovrin/logs.
std::optional<LogFolder> DefaultLogFolder(std::string& reason) {
  if (const auto state = AbsoluteFolderOf("XDG_STATE_HOME")) {
    return LogFolder{*state / "tovrin" / "logs", "/"};
  }
  if (const auto home = AbsoluteFolderOf("HOME")) {
    return LogFolder{*home / ".local" / "state" / "tovrin" / "logs", *home};
  }
  reason = "neither XDG_STATE_HOME nor HOME names a folder";
  return std::nullopt;
}

// Private to the user as the XDG base directories are. A missing home
// folder is not made: the log then fails.
std::error_code MakePrivateFolders(const LogFolder& folder) {
  std::error_code error;
  if (!fs::is_directory(folder.mustExist, error)) {
    return error ? error : std::make_error_code(std::errc::no_such_file_or_directory);
  }
  fs::path made;
  for (const auto& part : folder.path) {
    made /= part;
    if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) {
      return std::error_code(errno, std::generic_category());
    }
  }
  return {};
}

std::FILE* OpenLogFile(const fs::path& path, bool exclusive) {
  const int flags =
      O_WRONLY | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (exclusive ? O_EXCL : 0);
  const int descriptor = ::open(path.c_str(), flags, 0666);
  if (descriptor < 0) return nullptr;
  struct stat status {};
  const bool regular = ::fstat(descriptor, &status) == 0 && S_ISREG(status.st_mode);
  if (!regular && ::isatty(descriptor) != 1) {
    ::close(descriptor);
    errno = kNotALogTarget;
    return nullptr;
  }
  // Only now truncated: a refused target keeps what it held.
  const bool ready = (!regular || ::ftruncate(descriptor, 0) == 0) &&
                     ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) == 0;
  std::FILE* file = ready ? ::fdopen(descriptor, "w") : nullptr;
  if (file == nullptr) ::close(descriptor);
  return file;
}

std::tm LocalTime(std::time_t time) {
  std::tm local{};
  localtime_r(&time, &local);
  return local;
}

std::tm UtcTime(std::time_t time) {
  std::tm utc{};
  gmtime_r(&time, &utc);
  return utc;
}

}  // namespace tovrin
