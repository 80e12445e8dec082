// A disk's SHA256SUMS: whatever the file holds, an accepted manifest lists
// only names confined to the disk's root, each under its own key, within
// the bounds; and a name listed is found again under its key.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "description/sha256_manifest.hpp"
#include "platform/cp932.hpp"

namespace {

[[noreturn]] void Fail(const char* what, const std::string& name) {
  std::fprintf(stderr, "%s: %s\n", what, name.c_str());
  std::abort();
}

// Components split where a '\' is no second byte of a character.
bool Climbs(std::string_view key) {
  std::string component;
  const auto bad = [&] { return component.find_first_not_of(". ") == std::string::npos; };
  for (std::size_t i = 0; i < key.size(); ++i) {
    if (tovrin::cp932::IsLeadByte(static_cast<unsigned char>(key[i])) && i + 1 < key.size()) {
      component += key.substr(i, 2);
      ++i;
    } else if (key[i] == '\\') {
      if (bad()) return true;
      component.clear();
    } else {
      component += key[i];
    }
  }
  return bad();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tovrin;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const ManifestParse parse = ParseSha256Manifest(text);
  if (!parse.manifest) {
    if (parse.error.empty()) Fail("refused without a reason", "");
    return 0;
  }
  for (const auto& [key, entry] : parse.manifest->entries) {
    if (entry.name.size() > kManifestMaxName) Fail("a name beyond the bound", entry.name);
    if (key.find(':') != std::string::npos || key.front() == '\\')
      Fail("a drive or absolute name", key);
    if (Climbs(key)) Fail("a name that leaves the root", key);
    if (ManifestKey(entry.name) != key) Fail("a name not found under its key", entry.name);
  }
  return 0;
}
