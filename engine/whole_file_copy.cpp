#include "engine/whole_file_copy.hpp"

#include <optional>

#include "platform/hashing_input.hpp"
#include "platform/split_path.hpp"
#include "platform/temporary_name.hpp"

namespace tovrin {

namespace {

bool RefusesOverwrite(const FileSystem& files, const std::string& path) {
  FileStatus status;
  if (!files.GetStatus(path, status)) return false;
  return (status.attribute & (ATTR_READONLY | ATTR_HIDDEN | ATTR_DIRECTORY)) != 0;
}

// Exactly `size` bytes, unless the file ends first; nullopt on a read error.
std::optional<std::string> ReadUpTo(InputFile& file, std::size_t size) {
  std::string bytes(size, '\0');
  std::size_t got = 0;
  while (got < size) {
    const auto count = file.Read(bytes.data() + got, size - got);
    if (!count) return std::nullopt;
    if (*count == 0) break;
    got += *count;
  }
  bytes.resize(got);
  return bytes;
}

// Sizes first, so that a file that differs in size is never read.
bool HoldSameBytes(FileSystem& files, const std::string& from, const std::string& to) {
  FileStatus source;
  FileStatus target;
  if (!files.GetStatus(from, source) || !files.GetStatus(to, target)) return false;
  if (source.size != target.size) return false;
  auto a = files.OpenRead(from);
  auto b = files.OpenRead(to);
  if (!a || !b) return false;
  constexpr std::size_t kBlock = 64 * 1024;
  for (;;) {
    const auto left = ReadUpTo(*a, kBlock);
    if (!left || left != ReadUpTo(*b, kBlock)) return false;
    if (left->size() < kBlock) return true;
  }
}

}  // namespace

CopyResult CopyFileWhole(FileSystem& files, const std::string& from, const std::string& to,
                         const std::optional<Sha256::Hash>& listed) {
  if (RefusesOverwrite(files, to)) return CopyResult::Failed;
  // Already the update's file: rewriting it would change nothing but its
  // time stamps, and tell a deployment tool that something changed.
  if (listed ? HashFile(files, to) == listed : HoldSameBytes(files, from, to)) {
    return CopyResult::Copied;
  }
  // A name of its own, so two copies into one folder never meet.
  const PathParts parts = SplitPath(to);
  const std::string copy = parts.drive + parts.directory + temporary_name::Make();
  CopyResult result = CopyResult::Failed;
  if (files.CopyFile(from, copy, true)) {
    // The copy is the program's own: its hash is what goes in place.
    if (listed && HashFile(files, copy) != listed) {
      result = CopyResult::NotAsListed;
    } else if (files.Replace(copy, to)) {
      return CopyResult::Copied;
    }
  }
  files.Remove(copy);
  return result;
}

}  // namespace tovrin
