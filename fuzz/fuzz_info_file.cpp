// info.txt: the reader, the record parser and the title reader.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "description/update_description.hpp"
#include "fuzz/fuzz_drive.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  fuzz::Reset();
  fuzz::WriteHostFile("info.txt", {reinterpret_cast<const char*>(data), size});
  auto& files = fuzz::Drive().files;

  UpdateDescription description;
  if (ReadInfoFile(files, "C:\\info.txt", description) != 1) std::abort();
  if (description.m_nFileCount < 0 || description.m_nFileCount > kMaxRecords) std::abort();
  for (int i = 0; i < description.m_nFileCount; ++i) {
    // A record is never made of nothing: four non-empty fields or invalid.
    if (description.m_nInvalidLine == 0 &&
        (description.m_strSrcName[i].empty() || description.m_strSubDir[i].empty())) {
      std::abort();
    }
  }
  (void)ReadInfoTitle(files, "C:\\info.txt");
  return 0;
}
