#pragma once
// What a file system can still take: bytes, and files (inodes) where it
// counts them. Each system's side answers it (posix/free_room.cpp,
// win32/free_room.cpp).

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

namespace tovrin {

struct FreeRoom {
  std::string volume;  // the same for every folder of one file system
  std::uint64_t bytes = 0;
  std::uint64_t files = 0;  // UINT64_MAX where files are not counted
};

// The room on the file system of `folder`; nullopt when it cannot be told.
std::optional<FreeRoom> FreeRoomOf(const std::filesystem::path& folder);

}  // namespace tovrin
