#include "fuzz/fuzz_drive.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>

namespace tovrin::fuzz {

namespace {

std::filesystem::path MakeRoot() {
  std::string pattern = (std::filesystem::temp_directory_path() / "tovrin-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  return pattern;
}

DriveTable OnlyDriveC(const std::filesystem::path& root) {
  DriveTable drives;
  drives.Map('C', root, DRIVE_FIXED);
  return drives;
}

}  // namespace

FuzzDrive& Drive() {
  static const std::filesystem::path root = MakeRoot();
  static FuzzDrive drive{root, PosixFileSystem(OnlyDriveC(root), root / "windows")};
  return drive;
}

void Reset() {
  const auto& root = Drive().root;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(root, ignored)) {
    std::filesystem::permissions(entry.path(), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(entry.path(), ignored);
  }
  std::filesystem::create_directories(root / "windows", ignored);
  Drive().files.Chdrive(3);
  Drive().files.Chdir("C:\\");
}

void WriteHostFile(const std::filesystem::path& relative, std::string_view bytes) {
  const auto full = Drive().root / relative;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void CheckNothingOutside(const std::vector<std::filesystem::path>& allowed) {
  const auto& root = Drive().root;
  std::error_code ignored;
  for (auto it = std::filesystem::recursive_directory_iterator(root, ignored);
       it != std::filesystem::recursive_directory_iterator(); it.increment(ignored)) {
    const auto relative = it->path().lexically_relative(root);
    bool inside = false;
    for (const auto& folder : allowed) {
      const auto first = *relative.begin();
      if (first == folder) inside = true;
    }
    if (!inside) {
      std::fprintf(stderr, "written outside the allowed folders: %s\n", it->path().c_str());
      std::abort();
    }
  }
}

}  // namespace tovrin::fuzz
