#pragma once
// What a run as root makes in someone else's product (its lock and journal,
// new files and folders) must stay theirs: owned by root, it would shut the
// owner's own updates and undos out. Each new entry takes the owner and
// group of the folder it is made in.

#include <filesystem>

namespace tovrin::folder_owner {

// Gives `name` (in the open folder `folder`) the folder's owner and group.
// Only root can give files away; for anyone else the entry is already
// theirs, and nothing is done. A file system without owners (vfat) keeps
// its own.
void TakeFolderOwner(int folder, const char* name);
// The same for a path: the owner of its parent folder.
void TakeParentOwner(const std::filesystem::path& path);

}  // namespace tovrin::folder_owner
