// info.txt: the reader, the record parser and the title reader. Every
// record holds four non-empty fields, none of them with a comma or a line
// end in it, and the table never overflows.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "description/update_description.hpp"
#include "fuzz/fuzz_drive.hpp"

namespace {

[[noreturn]] void Fail(const char* what, int record) {
  std::fprintf(stderr, "record %d: %s\n", record, what);
  std::abort();
}

bool IsField(std::string_view field) {
  return !field.empty() && field.find_first_of(",\n") == std::string_view::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  fuzz::Reset();
  fuzz::WriteHostFile("info.txt", {reinterpret_cast<const char*>(data), size});
  auto& files = fuzz::Drive().files;

  UpdateDescription description;
  if (ReadInfoFile(files, "C:\\info.txt", description) != 1) Fail("a readable file was not read", -1);
  if (description.m_nFileCount < 0 || description.m_nFileCount > kMaxRecords) Fail("count out of range", -1);
  for (int i = 0; i < description.m_nFileCount; ++i) {
    if (!IsField(description.m_strSrcName[i]) || !IsField(description.m_strSubDir[i])) {
      Fail("a record field is empty or holds a separator", i);
    }
  }
  const std::string title = ReadInfoTitle(files, "C:\\info.txt");
  if (title != description.m_strUninstallKey[0]) Fail("the title is not line 1", -1);
  return 0;
}
