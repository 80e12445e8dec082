#include "engine/whole_file_copy.hpp"

#include "platform/split_path.hpp"
#include "platform/temporary_name.hpp"

namespace tovrin {

namespace {

bool RefusesOverwrite(const FileSystem& files, const std::string& path) {
  FileStatus status;
  if (!files.GetStatus(path, status)) return false;
  return (status.attribute & (ATTR_READONLY | ATTR_HIDDEN | ATTR_DIRECTORY)) != 0;
}

}  // namespace

bool CopyFileWhole(FileSystem& files, const std::string& from, const std::string& to) {
  if (RefusesOverwrite(files, to)) return false;
  // A name of its own, so two copies into one folder never meet.
  const PathParts parts = SplitPath(to);
  const std::string copy = parts.drive + parts.directory + temporary_name::Make();
  if (files.CopyFile(from, copy, true) && files.Replace(copy, to)) return true;
  files.Remove(copy);
  return false;
}

}  // namespace tovrin
