// info.txt: the reader, the record parser and the title reader. Every
// record holds four non-empty fields, none of them with a comma or a line
// end in it, and the table never overflows. A description the reader lets
// through never sends a write out of the product folder: neither a record's
// target folder, nor the settings file, nor the base folder of the archive
// command the update run builds from a record.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "archive/command_line.hpp"
#include "description/update_description.hpp"
#include "fuzz/fuzz_drive.hpp"

namespace {

namespace fs = std::filesystem;

const std::string kProductFolder = "C:\\PROD\\";

[[noreturn]] void Fail(const char* what, int record) {
  std::fprintf(stderr, "record %d: %s\n", record, what);
  std::abort();
}

bool IsField(std::string_view field) {
  return !field.empty() && field.find_first_of(",\n") == std::string_view::npos;
}

// A path that does not resolve (a NUL, bytes that are no CP932) cannot be
// written to; one that does must lie in the product folder.
bool LeavesProduct(const std::string& windowsPath) {
  const auto host = tovrin::fuzz::Drive().files.Resolve(windowsPath);
  if (!host) return false;
  const auto relative =
      host->lexically_normal().lexically_relative(tovrin::fuzz::Drive().root / "PROD");
  return relative.empty() || *relative.begin() == "..";
}

// The command of the update run for an archive record, as it builds it.
void CheckArchiveCommand(const tovrin::UpdateDescription& description, int i) {
  const std::string line = "e -mcwC:\\windows \"A:\\" + description.m_strSrcName[i] + "\" \"" +
                           kProductFolder + description.m_strSubDir[i] + "\"";
  std::string message;
  const auto command = tovrin::ParseCommandLine(line, message);
  if (!command) return;  // refused by the library: nothing is written
  if (LeavesProduct(command->baseFolder)) {
    Fail("the archive command extracts outside the product", i);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  fuzz::Reset();
  fuzz::WriteHostFile("info.txt", {reinterpret_cast<const char*>(data), size});
  auto& files = fuzz::Drive().files;

  UpdateDescription description;
  if (ReadInfoFile(files, "C:\\info.txt", description) != 1)
    Fail("a readable file was not read", -1);
  if (description.m_nFileCount < 0 || description.m_nFileCount > kMaxRecords)
    Fail("count out of range", -1);
  for (int i = 0; i < description.m_nFileCount; ++i) {
    if (!IsField(description.m_strSrcName[i]) || !IsField(description.m_strSubDir[i])) {
      Fail("a record field is empty or holds a separator", i);
    }
  }
  const std::string title = ReadInfoTitle(files, "C:\\info.txt");
  if (title != description.m_strUninstallKey[0]) Fail("the title is not line 1", -1);

  if (description.m_nInvalidLine != 0) return 0;  // the update run refuses it
  if (!description.m_strIniName.empty() &&
      LeavesProduct(kProductFolder + description.m_strIniName)) {
    Fail("the settings file lies outside the product", -1);
  }
  for (int i = 0; i < description.m_nFileCount; ++i) {
    if (LeavesProduct(kProductFolder + description.m_strSubDir[i] + "\\x")) {
      Fail("a target folder leaves the product", i);
    }
    if (description.m_nFileKind[i] == 1) CheckArchiveCommand(description, i);
  }
  return 0;
}
