#include "platform/free_room.hpp"

#include <sys/stat.h>
#include <sys/statvfs.h>

namespace tovrin {

std::optional<FreeRoom> FreeRoomOf(const std::filesystem::path& folder) {
  struct statvfs room {};
  struct stat status {};
  if (::statvfs(folder.c_str(), &room) != 0 || ::stat(folder.c_str(), &status) != 0) {
    return std::nullopt;
  }
  // A file system that makes inodes as it goes (btrfs) reports none at all.
  const std::uint64_t files = room.f_files == 0 ? UINT64_MAX : room.f_favail;
  return FreeRoom{std::to_string(status.st_dev),
                  static_cast<std::uint64_t>(room.f_bavail) * room.f_frsize, files};
}

}  // namespace tovrin
