#pragma once
// Where the log of a run goes: a file of its own in the log folder (the
// newest 20 kept), a file named on the command line, or standard error.
// The file is opened at the first line, so a wizard left before any update
// leaves no log. A log that cannot be written is reported once and never
// stops the run.

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

namespace tovrin {

inline constexpr int kLogsKept = 20;

class LogOutput {
 public:
  // `target` as --log gave it: a file, or "-" for `errors`; nullopt for a
  // file in the default folder named by `start`.
  LogOutput(std::optional<std::string> target, std::ostream& errors,
            std::chrono::system_clock::time_point start);
  ~LogOutput();
  LogOutput(const LogOutput&) = delete;
  LogOutput& operator=(const LogOutput&) = delete;

  // One line of UTF-8 text, stamped with the time, written through.
  void WriteLine(std::string_view text);

 private:
  bool Open();
  bool OpenInDefaultFolder();
  void Fail(const std::string& where, const std::string& reason);

  std::optional<std::string> target_;
  std::ostream& errors_;
  std::chrono::system_clock::time_point start_;
  std::FILE* file_ = nullptr;
  bool toErrors_ = false;
  bool failed_ = false;
};

}  // namespace tovrin
