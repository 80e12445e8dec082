#include "app/log_output.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <regex>
#include <vector>

#include "app/log_folder.hpp"
#include "platform/utf8_path.hpp"
#include "platform/visible_text.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

// Names sort as their start times do.
const std::regex kLogName(R"(\d{4}-\d{2}-\d{2}_\d{2}-\d{2}-\d{2}(-\d+)?\.log)");

std::string Formatted(const std::tm& time, const char* format) {
  char text[64];
  return std::string(text, std::strftime(text, sizeof text, format, &time));
}

// +0900: the local time's distance from UTC, as strftime's %z gives it
// where the C library has it.
std::string UtcOffset(const std::tm& local, const std::tm& utc) {
  int days = local.tm_yday - utc.tm_yday;
  if (local.tm_year != utc.tm_year) days = local.tm_year > utc.tm_year ? 1 : -1;
  const int minutes =
      days * 24 * 60 + (local.tm_hour - utc.tm_hour) * 60 + local.tm_min - utc.tm_min;
  // Within a day and a half of UTC, so the hours take two digits.
  const unsigned distance = static_cast<unsigned>(std::abs(minutes)) % (100 * 60);
  char text[16];
  std::snprintf(text, sizeof text, "%c%02u%02u", minutes < 0 ? '-' : '+', distance / 60,
                distance % 60);
  return text;
}

std::string LocalText(std::chrono::system_clock::time_point time, const char* format) {
  return Formatted(LocalTime(std::chrono::system_clock::to_time_t(time)), format);
}

// 2026-12-07T16:05:30.123+0900
std::string TimeStamp(std::chrono::system_clock::time_point time) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  const std::tm local = LocalTime(seconds);
  const auto milliseconds =
      std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch()).count() % 1000;
  char fraction[8];
  std::snprintf(fraction, sizeof fraction, ".%03d", static_cast<int>(milliseconds));
  return Formatted(local, "%Y-%m-%dT%H:%M:%S") + fraction + UtcOffset(local, UtcTime(seconds));
}

// Older logs beyond the newest `kLogsKept` go; others' files stay.
void RemoveOldLogs(const fs::path& folder) {
  std::vector<fs::path> logs;
  std::error_code error;
  for (const auto& entry : fs::directory_iterator(folder, error)) {
    if (std::regex_match(Utf8Of(entry.path().filename()), kLogName)) logs.push_back(entry.path());
  }
  if (logs.size() <= static_cast<std::size_t>(kLogsKept)) return;
  std::sort(logs.begin(), logs.end());
  for (std::size_t i = 0; i + kLogsKept < logs.size(); ++i) fs::remove(logs[i], error);
}

std::string OpenFailure(int error) {
  return error == kNotALogTarget ? "not a regular file or a terminal" : std::strerror(error);
}

}  // namespace

LogOutput::LogOutput(std::optional<std::string> target, std::ostream& errors,
                     std::chrono::system_clock::time_point start)
    : target_(std::move(target)),
      errors_(errors),
      start_(start) {}

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
  file_ = OpenLogFile(PathFromUtf8(*target_), false);
  if (file_ == nullptr) Fail(*target_, OpenFailure(errno));
  return file_ != nullptr;
}

bool LogOutput::OpenInDefaultFolder() {
  std::string reason;
  const auto logFolder = DefaultLogFolder(reason);
  if (!logFolder) {
    Fail("the log folder", reason);
    return false;
  }
  const fs::path* folder = &logFolder->path;
  if (const auto error = MakePrivateFolders(*logFolder)) {
    Fail(Utf8Of(*folder), error.message());
    return false;
  }
  const std::string name = LocalText(start_, "%Y-%m-%d_%H-%M-%S");
  // Two runs started in the same second get a file each.
  for (int copy = 0; file_ == nullptr; ++copy) {
    const std::string suffix = copy == 0 ? "" : "-" + std::to_string(copy);
    const fs::path path = *folder / (name + suffix + ".log");
    file_ = OpenLogFile(path, true);
    if (file_ == nullptr && errno != EEXIST) {
      Fail(Utf8Of(path), OpenFailure(errno));
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
