#include "platform/posix/folder_owner.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tovrin::folder_owner {

void TakeFolderOwner(int folder, const char* name) {
  struct stat owner {};
  if (::geteuid() != 0 || ::fstat(folder, &owner) != 0) return;
  ::fchownat(folder, name, owner.st_uid, owner.st_gid, AT_SYMLINK_NOFOLLOW);
}

void TakeParentOwner(const std::filesystem::path& path) {
  struct stat owner {};
  if (::geteuid() != 0 || ::lstat(path.parent_path().c_str(), &owner) != 0) return;
  ::lchown(path.c_str(), owner.st_uid, owner.st_gid);
}

}  // namespace tovrin::folder_owner
