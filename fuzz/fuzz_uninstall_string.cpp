// The uninstall command line: the folder made of it is always a piece of
// the command line itself, and a text without " -f" stays as it was.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "wizard/install_folder_lookup.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  std::string text = original;
  const int parsed = tovrin::ParseUninstallString(text);
  if (parsed == 0 && text != original) std::abort();
  if (parsed == 1 && original.find(text) == std::string::npos) std::abort();
  return 0;
}
