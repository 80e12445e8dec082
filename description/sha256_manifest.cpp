#include "description/sha256_manifest.hpp"

#include <vector>

#include "platform/cp932.hpp"

namespace tovrin {

namespace {

constexpr std::size_t kHashDigits = 64;

std::optional<int> HexDigit(char digit) {
  if (digit >= '0' && digit <= '9') return digit - '0';
  if (digit >= 'a' && digit <= 'f') return digit - 'a' + 10;
  if (digit >= 'A' && digit <= 'F') return digit - 'A' + 10;
  return std::nullopt;
}

std::optional<Sha256Hash> ParseHash(std::string_view digits) {
  Sha256Hash hash{};
  for (std::size_t i = 0; i < hash.size(); ++i) {
    const auto high = HexDigit(digits[2 * i]);
    const auto low = HexDigit(digits[2 * i + 1]);
    if (!high || !low) return std::nullopt;
    hash[i] = static_cast<std::uint8_t>(*high * 16 + *low);
  }
  return hash;
}

// sha256sum starts a line with '\' when it escaped the name's '\' as "\\"
// and its line ends as "\n" or "\r"; a name with a line end in it is none
// a disk can hold.
std::optional<std::string> Unescaped(std::string_view name, std::string& error) {
  std::string plain;
  for (std::size_t i = 0; i < name.size(); ++i) {
    if (name[i] != '\\') {
      plain += name[i];
      continue;
    }
    if (i + 1 < name.size() && name[i + 1] == '\\') {
      plain += '\\';
      ++i;
      continue;
    }
    error = "the name holds a line end or an unknown escape";
    return std::nullopt;
  }
  return plain;
}

// Components a system would take for the folder above, or for none.
bool IsDotsAndBlanks(std::string_view component) {
  return component.find_first_not_of(". ") == std::string_view::npos;
}

}  // namespace

std::optional<std::string> ManifestKey(std::string_view name) {
  std::vector<std::string> components(1);
  for (std::size_t i = 0; i < name.size(); ++i) {
    const auto byte = static_cast<unsigned char>(name[i]);
    if (byte < 0x20 || byte == ':') return std::nullopt;  // drives, streams, controls
    if (cp932::IsLeadByte(byte)) {
      // No file is named with a character CP932 does not have.
      const auto trail = i + 1 < name.size() ? static_cast<unsigned char>(name[i + 1]) : 0;
      if (trail < 0x40 || trail == 0x7F || trail > 0xFC) return std::nullopt;
      components.back() += name.substr(i, 2);
      ++i;
      continue;
    }
    if (byte == '\\' || byte == '/') {
      if (i == 0) return std::nullopt;  // absolute
      components.emplace_back();
      continue;
    }
    components.back() += name[i];
  }
  std::string key;
  for (const std::string& component : components) {
    if (component.empty() || component == ".") continue;
    if (IsDotsAndBlanks(component)) return std::nullopt;
    if (!key.empty()) key += '\\';
    key += component;
  }
  if (key.empty()) return std::nullopt;
  cp932::MakeUpper(key);
  return key;
}

ManifestParse ParseSha256Manifest(std::string_view text) {
  ManifestParse parse;
  if (text.size() > kManifestMaxBytes) {
    parse.error = "longer than " + std::to_string(kManifestMaxBytes) + " bytes";
    return parse;
  }
  Sha256Manifest manifest;
  std::size_t lineNumber = 0;
  const auto fail = [&](std::string why) {
    parse.line = lineNumber;
    parse.error = std::move(why);
    return parse;
  };
  while (!text.empty()) {
    ++lineNumber;
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.size() > kManifestMaxLine)
      return fail("longer than " + std::to_string(kManifestMaxLine) + " bytes");
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    const bool escaped = line.front() == '\\';
    if (escaped) line.remove_prefix(1);
    if (line.size() < kHashDigits + 3 || line[kHashDigits] != ' ' ||
        (line[kHashDigits + 1] != ' ' && line[kHashDigits + 1] != '*')) {
      return fail("not a hash, two spaces (or a space and '*') and a name");
    }
    const auto hash = ParseHash(line.substr(0, kHashDigits));
    if (!hash) return fail("the hash is not 64 hexadecimal digits");
    std::string_view listed = line.substr(kHashDigits + 2);
    std::string name(listed);
    if (escaped) {
      std::string why;
      const auto plain = Unescaped(listed, why);
      if (!plain) return fail(why);
      name = *plain;
    }
    if (name.size() > kManifestMaxName)
      return fail("the name is longer than " + std::to_string(kManifestMaxName) + " bytes");
    const auto key = ManifestKey(name);
    if (!key) return fail("the name " + name + " leaves the disk's root or names no file");
    // As the key was made: a '/' that is a character's second byte stays.
    for (std::size_t i = 0; i < name.size(); ++i) {
      if (cp932::IsLeadByte(static_cast<unsigned char>(name[i]))) {
        ++i;
      } else if (name[i] == '/') {
        name[i] = '\\';
      }
    }
    if (!manifest.entries.emplace(*key, ManifestEntry{name, *hash}).second) {
      return fail("the name " + name + " is listed twice");
    }
  }
  parse.manifest = std::move(manifest);
  return parse;
}

}  // namespace tovrin
