// Windows path resolution: whatever the path, the result stays below the
// root of the one mapped drive.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz/fuzz_drive.hpp"

namespace {

bool Below(const std::filesystem::path& path, const std::filesystem::path& root) {
  const auto relative = path.lexically_normal().lexically_relative(root);
  return !relative.empty() && *relative.begin() != "..";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  static bool prepared = false;
  if (!prepared) {
    fuzz::Reset();
    fuzz::WriteHostFile("Prog/Sub/file.txt", "x");
    fuzz::WriteHostFile("prog/other.txt", "y");
    prepared = true;
  }
  auto& files = fuzz::Drive().files;
  const auto& root = fuzz::Drive().root;
  const std::string path(reinterpret_cast<const char*>(data), size);

  if (const auto host = files.Resolve(path); host && !Below(*host, root)) {
    std::fprintf(stderr, "resolved outside the drive: %s\n", host->c_str());
    std::abort();
  }
  // Moving about with the same text must keep the current folder on the drive.
  files.Chdir(path);
  const auto cwd = files.Getcwd();
  if (const auto host = files.Resolve(cwd); !host || !Below(*host, root)) std::abort();
  (void)files.Access(path);
  (void)files.FindFiles(path);
  files.Chdir("C:\\");
  return 0;
}
