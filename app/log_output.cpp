#include "app/log_output.hpp"

#include <algorithm>
#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <regex>
#include <vector>

#include "platform/visible_text.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

// Names sort as their start times do.
const std::regex kLogName(R"(\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}(-\d+)?\.log)");

std::string Formatted(std::chrono::system_clock::time_point time, const char* format) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  std::tm local{};
  localtime_r(&seconds, &local);
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, format, &local));
}

// 2026-12-07T16:05:30.123+0900
std::string TimeStamp(std::chrono::system_clock::time_point time) {
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count() % 1000;
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(milliseconds));
  return Formatted(time, "%Y-%m-%dT%H:%M:%S") + fraction + Formatted(time, "%z");
}

std::optional<fs::path> AbsoluteFolderOf(const char* variable) {
  const char* value = std::getenv(variable);
  if (value == nullptr || *value != '/') return std::nullopt;
  return fs::path(value);
}

// The folders that are missing, private to the user as the XDG base
// directories are. A missing home folder is not made: the log then fails.
void MakePrivateFolders(const fs::path& folder, const fs::path& mustExist, std::error_code& error) {
  if (!fs::is_directory(mustExist, error)) {
    if (!error) error = std::make_error_code(std::errc::no_such_file_or_directory);
    return;
  }
  fs::path made;
  for (const auto& part : folder) {
    made /= part;
    if (::mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) {
      error = std::error_code(errno, std::generic_category());
      return;
    }
  }
}

// Older logs beyond the newest `kLogsKept` go; others' files stay.
void RemoveOldLogs(const fs::path& folder) {
  std::vector<fs::path> logs;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (std::regex_match(entry.path().filename().string(), kLogName)) logs.push_back(entry.path());
  }
  if (logs.size() <= static_cast<std::size_t>(kLogsKept)) return;
  std::sort(logs.begin(), logs.end());
  for (std::size_t i = 0; i + kLogsKept < logs.size(); ++i) fs::remove(logs[i], error);
}

struct LogFolder {
  fs::path path;
  fs::path mustExist;  // the home folder is never made
};

// $XDG_STATE_HOME/tovrin/logs, else ~/.local/state/tovrin/logs; nullopt
// when neither variable gives an absolute folder.
std::optional<LogFolder> DefaultLogFolder() {
  if (const auto state = AbsoluteFolderOf("XDG_STATE_HOME")) {
    return LogFolder{*state / "tovrin" / "logs", "/"};
  }
  if (const auto home = AbsoluteFolderOf("HOME")) {
    return LogFolder{*home / ".local" / "state" / "tovrin" / "logs", *home};
  }
  return std::nullopt;
}

}  // namespace

LogOutput::LogOutput(std::optional<std::string> target, std::ostream& errors,
                     std::chrono::system_clock::time_point start)
    : target_(std::move(target)), errors_(errors), start_(start) {}

LogOutput::~LogOutput() {
  if (file_ != nullptr) std::fclose(file_);
}

void LogOutput::WriteLine(std::string_view text) {
  if (failed_ || (!toErrors_ && file_ == nullptr && !Open())) return;
  const std::string line =
      TimeStamp(std::chrono::system_clock::now()) + " " + std::string(text) + "\n";
  if (toErrors_) {
    errors_ << line << std::flush;
    return;
  }
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size() || std::fflush(file_) != 0) {
    Fail("the log", std::strerror(errno));
  }
}

bool LogOutput::Open() {
  if (target_ == "-") {
    toErrors_ = true;
    return true;
  }
  if (!target_) return OpenInDefaultFolder();
  file_ = std::fopen(target_->c_str(), "w");
  if (file_ == nullptr) Fail(*target_, std::strerror(errno));
  return file_ != nullptr;
}

bool LogOutput::OpenInDefaultFolder() {
  const auto logFolder = DefaultLogFolder();
  if (!logFolder) {
    Fail("the log folder", "neither XDG_STATE_HOME nor HOME names a folder");
    return false;
  }
  const fs::path* folder = &logFolder->path;
  std::error_code error;
  MakePrivateFolders(*folder, logFolder->mustExist, error);
  if (error) {
    Fail(folder->string(), error.message());
    return false;
  }
  const std::string name = Formatted(start_, "%Y-%m-%d_%H-%M-%S");
  // Two runs started in the same second get a file each.
  for (int copy = 0; file_ == nullptr; ++copy) {
    const std::string suffix = copy == 0 ? "" : "-" + std::to_string(copy);
    const fs::path path = *folder / (name + suffix + ".log");
    file_ = std::fopen(path.c_str(), "wx");
    if (file_ == nullptr && errno != EEXIST) {
      Fail(path.string(), std::strerror(errno));
      return false;
    }
  }
  RemoveOldLogs(*folder);
  return true;
}

void LogOutput::Fail(const std::string& where, const std::string& reason) {
  failed_ = true;
  errors_ << "tovrin: cannot write " << VisibleText(where) << " (" << reason
          << "); the update goes on without a log\n";
}

}  // namespace tovrin
