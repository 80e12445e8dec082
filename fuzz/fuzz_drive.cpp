#include "fuzz/fuzz_drive.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace tovrin::fuzz {

namespace {

namespace fs = std::filesystem;

fs::path MakeScratch() {
  std::string pattern = (fs::temp_directory_path() / "tovrin-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) std::abort();
  fs::create_directory(fs::path(pattern) / "c");
  return pattern;
}

// A run that ends normally leaves no scratch folder behind.
void RemoveScratch() {
  std::error_code ignored;
  fs::remove_all(Drive().scratch, ignored);
}

DriveTable OnlyDriveC(const fs::path& root) {
  DriveTable drives;
  drives.Map('C', root, DRIVE_FIXED);
  return drives;
}

[[noreturn]] void Fail(const char* what, const fs::path& path) {
  std::fprintf(stderr, "%s: %s\n", what, path.c_str());
  std::abort();
}

// Every entry below `folder`, not following links.
template <typename Visit>
void ForEachEntry(const fs::path& folder, Visit visit) {
  std::error_code ignored;
  for (auto it = fs::recursive_directory_iterator(folder, ignored);
       it != fs::recursive_directory_iterator(); it.increment(ignored)) {
    visit(it->path());
  }
}

// True when one path is the other or lies below it, part by part.
bool OnOneLine(const fs::path& a, const fs::path& b) {
  auto x = a.begin();
  auto y = b.begin();
  for (; x != a.end() && y != b.end(); ++x, ++y) {
    if (*x != *y) return false;
  }
  return true;
}

}  // namespace

FuzzDrive& Drive() {
  static const fs::path scratch = MakeScratch();
  static FuzzDrive drive{scratch, scratch / "c",
                         PosixFileSystem(OnlyDriveC(scratch / "c"), scratch / "c" / "windows")};
  static const bool removedAtExit = std::atexit(RemoveScratch) == 0;
  (void)removedAtExit;
  return drive;
}

void Reset() {
  const auto& root = Drive().root;
  std::error_code ignored;
  // A member may have left a folder without write permission.
  ForEachEntry(root, [&](const fs::path& path) {
    fs::permissions(path, fs::perms::owner_all, fs::perm_options::add | fs::perm_options::nofollow,
                    ignored);
  });
  for (const auto& entry : fs::directory_iterator(root, ignored))
    fs::remove_all(entry.path(), ignored);
  fs::create_directories(root / "windows", ignored);
  Drive().files.Chdrive(3);
  Drive().files.Chdir("C:\\");
}

void WriteHostFile(const fs::path& relative, std::string_view bytes) {
  const auto full = Drive().root / relative;
  fs::create_directories(full.parent_path());
  std::ofstream out(full, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadHostFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void CheckDriveNotLeft() {
  std::error_code ignored;
  for (const auto& entry : fs::directory_iterator(Drive().scratch, ignored)) {
    if (entry.path() != Drive().root) Fail("written outside the drive", entry.path());
  }
}

void CheckNothingOutside(const std::vector<fs::path>& allowed) {
  CheckDriveNotLeft();
  const auto& root = Drive().root;
  ForEachEntry(root, [&](const fs::path& path) {
    const auto relative = path.lexically_relative(root);
    for (const auto& place : allowed) {
      if (OnOneLine(relative, place)) return;
    }
    Fail("written outside the allowed places", path);
  });
}

void CheckNoTemporaryLeft() {
  ForEachEntry(Drive().root, [](const fs::path& path) {
    const std::string name = path.filename().string();
    if (name.starts_with(".tovrin-") && name.ends_with(".tmp")) Fail("temporary file left", path);
  });
}

}  // namespace tovrin::fuzz
