// The uninstall command line: a text without " -f" stays as it was; any
// other becomes the drive and folder at the start of the path after its
// first " -f", so the result begins a tail of the text after some " -f" and
// ends at a separator, or is a drive alone, or is empty.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "platform/path_text.hpp"
#include "wizard/install_folder_lookup.hpp"

namespace {

bool BeginsSomeTail(const std::string& original, const std::string& folder) {
  for (auto at = original.find(" -f"); at != std::string::npos; at = original.find(" -f", at + 1)) {
    if (original.compare(at + 3, folder.size(), folder) == 0) return true;
  }
  return false;
}

bool IsDriveOrFolder(const std::string& folder) {
  if (folder.empty()) return true;
  if (folder.size() == 2 && folder[1] == ':') return true;
  return tovrin::path_text::LastSeparator(folder) == folder.size() - 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string original(reinterpret_cast<const char*>(data), size);
  std::string text = original;
  const int parsed = tovrin::ParseUninstallString(text);
  if (parsed != 0 && parsed != 1) std::abort();
  if (parsed == 0 && text != original) std::abort();
  if (parsed == 1 && (!BeginsSomeTail(original, text) || !IsDriveOrFolder(text))) std::abort();
  return 0;
}
