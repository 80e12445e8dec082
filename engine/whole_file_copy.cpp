#include "engine/whole_file_copy.hpp"

namespace tovrin {

namespace {

constexpr const char* kCopySuffix = ".tovrin-copy";

bool RefusesOverwrite(const FileSystem& files, const std::string& path) {
  FileStatus status;
  if (!files.GetStatus(path, status)) return false;
  return (status.attribute & (ATTR_READONLY | ATTR_HIDDEN | ATTR_DIRECTORY)) != 0;
}

}  // namespace

bool CopyFileWhole(FileSystem& files, const std::string& from, const std::string& to) {
  if (RefusesOverwrite(files, to)) return false;
  const std::string copy = to + kCopySuffix;
  if (files.CopyFile(from, copy, false) && files.Replace(copy, to)) return true;
  files.Remove(copy);
  return false;
}

}  // namespace tovrin
