// Windows path resolution: whatever the path, the result stays below the
// root of the one mapped drive, a host path maps back to a Windows path that
// resolves to it again, and a folder made from the path lands on the drive.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_drive.hpp"

namespace {

namespace fs = std::filesystem;

bool Below(const fs::path& path, const fs::path& root) {
  const auto relative = path.lexically_normal().lexically_relative(root);
  return !relative.empty() && *relative.begin() != "..";
}

void Check(bool held, const char* what, const std::string& detail) {
  if (held) return;
  std::fprintf(stderr, "%s: %s\n", what, detail.c_str());
  std::abort();
}

// A resolved path, checked to lie on the drive and to map back to itself.
void CheckResolved(const tovrin::FileSystem& files, const fs::path& host) {
  const auto& root = tovrin::fuzz::Drive().root;
  Check(Below(host, root), "resolved outside the drive", host.string());
  const auto windows = files.ToWindowsPath(host);
  if (!windows) return;  // a host name without a CP932 spelling
  const auto again = files.Resolve(*windows);
  Check(again && again->lexically_normal() == host.lexically_normal(), "does not map back",
        *windows);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  static const bool prepared = [] {
    fuzz::Reset();
    fuzz::WriteHostFile("Prog/Sub/file.txt", "x");
    fuzz::WriteHostFile("prog/other.txt", "y");
    fuzz::WriteHostFile("\xe8\xa1\xa8\xe7\xa4\xba/\xe3\x82\xbd\xe3\x83\x95\xe3\x83\x88.txt", "z");
    return true;
  }();
  (void)prepared;
  auto& files = fuzz::Drive().files;
  const std::string path(reinterpret_cast<const char*>(data), size);

  if (const auto host = files.Resolve(path)) CheckResolved(files, *host);
  // Moving about with the same text must keep the current folder on the drive.
  files.Chdir(path);
  const auto cwd = files.Getcwd();
  const auto current = files.Resolve(cwd);
  Check(current.has_value(), "the current folder does not resolve", cwd);
  CheckResolved(files, *current);
  (void)files.Exists(path);
  (void)files.FindFiles(path);
  // A folder made from the text lands on the drive; it is taken away again.
  if (files.Mkdir(path) == 0) {
    const auto made = files.Resolve(path);
    Check(made.has_value(), "a made folder does not resolve", path);
    CheckResolved(files, *made);
    std::error_code ignored;
    fs::remove(*made, ignored);
  }
  files.Chdir("C:\\");
  fuzz::CheckDriveNotLeft();
  return 0;
}
