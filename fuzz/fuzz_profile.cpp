// The INI profile functions: read, write, read again. The written value
// reads back, and every line the write did not change survives.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/fuzz_drive.hpp"
#include "platform/profile.hpp"

namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

std::string ReadHostFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

// Greedy: every original line in order, at most one of them missing (the
// line whose value was replaced).
bool SurvivesWrite(const std::vector<std::string>& before, const std::vector<std::string>& after) {
  std::size_t next = 0;
  int missing = 0;
  for (const auto& line : before) {
    std::size_t at = next;
    while (at < after.size() && after[at] != line) ++at;
    if (at == after.size()) {
      ++missing;
      continue;
    }
    next = at + 1;
  }
  return missing <= 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  fuzz::Reset();
  const std::string original(reinterpret_cast<const char*>(data), size);
  fuzz::WriteHostFile("settings.ini", original);
  auto& files = fuzz::Drive().files;
  const std::string file = "C:\\settings.ini";

  char buffer[100];
  (void)GetPrivateProfileStringA(files, "SYSTEM", "TITLE", "", buffer, sizeof buffer, file);
  (void)GetPrivateProfileStringA(files, "DIR", "MASTER", "  ", buffer, 1, file);

  const std::string value = "8.1S";
  const BOOL written = WritePrivateProfileStringA(files, "SYSTEM", "Version", value, file);
  const std::string after = ReadHostFile(fuzz::Drive().root / "settings.ini");
  if (!written) {
    if (after != original) std::abort();
    return 0;
  }
  if (GetProfileText(files, "SYSTEM", "Version", "", 100, file) != value) {
    std::fprintf(stderr, "written value does not read back\n");
    std::abort();
  }
  if (!SurvivesWrite(Lines(original), Lines(after))) {
    std::fprintf(stderr, "a line the write did not change was lost\n");
    std::abort();
  }
  return 0;
}
