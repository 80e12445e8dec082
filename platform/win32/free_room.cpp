#include "platform/free_room.hpp"

#include "platform/win32/wide_text.hpp"
#include "platform/win32/windows_api.hpp"

namespace tovrin {

// NTFS and FAT count no inodes: their file tables grow with the bytes.
std::optional<FreeRoom> FreeRoomOf(const std::filesystem::path& folder) {
  ULARGE_INTEGER available{};
  wchar_t volume[MAX_PATH] = {};
  if (!GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr) ||
      !GetVolumePathNameW(folder.c_str(), volume, MAX_PATH)) {
    return std::nullopt;
  }
  return FreeRoom{win32::Utf8FromWide(volume).value_or(std::string()), available.QuadPart,
                  UINT64_MAX};
}

}  // namespace tovrin
