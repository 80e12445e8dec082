#include "platform/programs_in_use.hpp"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <string_view>
#include <system_error>

#include "platform/cp932.hpp"
#include "platform/product_lock.hpp"

namespace tovrin {
namespace {

namespace fs = std::filesystem;

// Inside the folder, but not in its bookkeeping: another run that only
// holds its lock there is told apart by the lock itself.
bool IsInside(std::string_view path, std::string_view folder) {
  if (path.substr(0, folder.size()) != folder) return false;
  if (path.size() == folder.size()) return true;
  if (path[folder.size()] != '/') return false;
  const std::string_view below = path.substr(folder.size() + 1);
  return !IsBookkeepingFolder(below.substr(0, below.find('/')));
}

bool LinkIsInside(const fs::path& link, std::string_view folder) {
  std::error_code error;
  const fs::path target = fs::read_symlink(link, error);
  return !error && IsInside(target.native(), folder);
}

// The sixth field of a line of /proc/PID/maps is the mapped file, when there is one.
bool MapsFileInside(const fs::path& maps, std::string_view folder) {
  std::ifstream in(maps);
  for (std::string line; std::getline(in, line);) {
    const auto slash = line.find('/');
    if (slash != std::string::npos && IsInside(std::string_view(line).substr(slash), folder)) {
      return true;
    }
  }
  return false;
}

bool HoldsFileInside(const fs::path& fds, std::string_view folder) {
  std::error_code error;
  for (fs::directory_iterator fd(fds, error), end; !error && fd != end; fd.increment(error)) {
    if (LinkIsInside(fd->path(), folder)) return true;
  }
  return false;
}

// The program file's name when it lies in the folder (a Wine process shows
// its Windows program there), else the name the kernel keeps for it.
std::string ProgramName(const fs::path& process, std::string_view folder) {
  std::error_code error;
  const fs::path program = fs::read_symlink(process / "exe", error);
  std::string name;
  if (!error && IsInside(program.native(), folder)) {
    name = program.filename().string();
  } else {
    std::ifstream(process / "comm") >> name;
  }
  return cp932::FromUtf8(name).value_or(name);
}

bool IsProcessFolder(const fs::path& entry) {
  const std::string name = entry.filename().string();
  return !name.empty() &&
         std::all_of(name.begin(), name.end(), [](unsigned char c) { return std::isdigit(c); });
}

}  // namespace

std::vector<ProgramInUse> ProgramsUsingFolder(const fs::path& productFolder) {
  std::error_code error;
  const std::string folder = fs::weakly_canonical(productFolder, error).native();
  std::vector<ProgramInUse> programs;
  if (error || folder.empty()) return programs;
  const auto self = static_cast<unsigned long>(::getpid());
  for (fs::directory_iterator entry("/proc", error), end; !error && entry != end;
       entry.increment(error)) {
    if (!IsProcessFolder(entry->path())) continue;
    const unsigned long pid = std::stoul(entry->path().filename().string());
    const fs::path& process = entry->path();
    if (pid == self) continue;
    if (LinkIsInside(process / "exe", folder) || LinkIsInside(process / "cwd", folder) ||
        MapsFileInside(process / "maps", folder) || HoldsFileInside(process / "fd", folder)) {
      programs.push_back({ProgramName(process, folder), pid});
    }
  }
  return programs;
}

}  // namespace tovrin
