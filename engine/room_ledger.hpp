#pragma once
// What a run will need on each file system it writes to, counted before the
// first write and held against what each can still take: bytes and files.

#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "platform/free_room.hpp"

namespace tovrin {

// A file system block: what a new folder or a small file takes at least.
inline constexpr std::uint64_t kBlockBytes = 4096;

class RoomLedger {
 public:
  // Counts `bytes` and `files` on the file system of `hostFolder`; a folder
  // whose room cannot be told counts as having room.
  void Add(const std::filesystem::path& hostFolder, std::uint64_t bytes, std::uint64_t files);
  // Whether some file system has less room than counted on it.
  bool Short() const;

 private:
  struct Volume {
    FreeRoom room;
    std::uint64_t bytes = 0;
    std::uint64_t files = 0;
  };
  std::map<std::string, Volume> volumes_;
};

}  // namespace tovrin
