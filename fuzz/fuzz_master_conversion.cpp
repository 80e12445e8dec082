// The material master conversions on a damaged master file of the product.
// Both conversions succeed, the master keeps its name and every line it had
// (each ending in CR LF, at most one byte shorter), the work file is gone,
// and nothing is written outside the master folders.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "engine/master_conversion.hpp"
#include "fuzz/fuzz_drive.hpp"

namespace {

[[noreturn]] void Fail(const char* what) {
  std::fprintf(stderr, "%s\n", what);
  std::abort();
}

// Lines as text mode reads them: LF ends one, a CR before it goes, 0x1A ends
// the file.
std::vector<std::string_view> TextLines(std::string_view bytes) {
  bytes = bytes.substr(0, bytes.find('\x1a'));
  std::vector<std::string_view> lines;
  while (!bytes.empty()) {
    const std::size_t newline = bytes.find('\n');
    std::string_view line = bytes.substr(0, newline);
    if (newline != std::string_view::npos && !line.empty() && line.back() == '\r')
      line.remove_suffix(1);
    lines.push_back(line);
    if (newline == std::string_view::npos) break;
    bytes.remove_prefix(newline + 1);
  }
  return lines;
}

void CheckConverted(std::string_view before, std::string_view after) {
  const auto original = TextLines(before);
  std::vector<std::string_view> converted;
  for (std::string_view rest = after; !rest.empty();) {
    const std::size_t end = rest.find("\r\n");
    if (end == std::string_view::npos) Fail("a converted line without CR LF");
    converted.push_back(rest.substr(0, end));
    rest.remove_prefix(end + 2);
  }
  if (converted.size() != original.size()) Fail("the master lost or gained lines");
  for (std::size_t i = 0; i < original.size(); ++i) {
    const std::size_t shortened = original[i].size() - converted[i].size();
    if (converted[i].size() > original[i].size() || shortened > 1) {
      Fail("a line changed its length by more than one byte");
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  fuzz::Reset();
  const std::string master(reinterpret_cast<const char*>(data), size);
  fuzz::WriteHostFile("PROD/velsor1.ini", "[DIR]\r\nMASTER=C:\\PROD\\MST\r\n");
  fuzz::WriteHostFile("PROD/MST1/zai001-3.mst", master);
  fuzz::WriteHostFile("PROD/MST21/ZAI101-3.MST", master);
  auto& files = fuzz::Drive().files;

  if (ConvertMaterialSize(files, "C:\\PROD\\velsor1.ini") != 1) Fail("the size conversion failed");
  if (ConvertMaterialType(files, "C:\\PROD\\velsor1.ini") != 1) Fail("the type conversion failed");
  const auto& root = fuzz::Drive().root;
  CheckConverted(master, fuzz::ReadHostFile(root / "PROD/MST1/zai001-3.mst"));
  CheckConverted(master, fuzz::ReadHostFile(root / "PROD/MST21/ZAI101-3.MST"));
  fuzz::CheckNoTemporaryLeft();
  fuzz::CheckNothingOutside(
      {"PROD/velsor1.ini", "PROD/MST1/zai001-3.mst", "PROD/MST21/ZAI101-3.MST", "windows"});
  return 0;
}
