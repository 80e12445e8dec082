#include "engine/room_ledger.hpp"

namespace tovrin {

void RoomLedger::Add(const std::filesystem::path& hostFolder, std::uint64_t bytes,
                     std::uint64_t files) {
  const auto room = FreeRoomOf(hostFolder);
  if (!room) return;
  Volume& volume = volumes_.try_emplace(room->volume, Volume{*room}).first->second;
  volume.bytes += bytes;
  volume.files += files;
}

bool RoomLedger::Short() const {
  for (const auto& [name, volume] : volumes_) {
    if (volume.bytes > volume.room.bytes || volume.files > volume.room.files) return true;
  }
  return false;
}

}  // namespace tovrin
