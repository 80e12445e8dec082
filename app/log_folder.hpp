#pragma once
// What the log takes from the system it runs on: its default folder, made
// private to the user, log files opened by their host names, and the time
// of day.

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

namespace tovrin {

struct LogFolder {
  std::filesystem::path path;
  std::filesystem::path mustExist;  // the user's own folder is never made
};

// Nullopt with `reason` set when the system names no folder for it.
std::optional<LogFolder> DefaultLogFolder(std::string& reason);
// Makes the missing folders of `folder.path`, private to the user.
std::error_code MakePrivateFolders(const LogFolder& folder);
// Null with errno set; `exclusive` fails with EEXIST on a file that is there.
// Opened without waiting on a reader: what is neither a regular file nor a
// terminal (a FIFO nobody reads, a device) is refused with errno set to
// kNotALogTarget.
std::FILE* OpenLogFile(const std::filesystem::path& path, bool exclusive);
inline constexpr int kNotALogTarget = -1;
std::tm LocalTime(std::time_t time);
std::tm UtcTime(std::time_t time);

}  // namespace tovrin
