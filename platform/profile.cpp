#include "platform/profile.hpp"

#include <cstring>

#include "platform/cp932.hpp"
#include "platform/path_text.hpp"
#include "platform/profile_document.hpp"
#include "platform/split_path.hpp"
#include "platform/utf16.hpp"

namespace tovrin {

namespace {

constexpr BOOL kWritten = 1;
constexpr BOOL kFailed = 0;

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kUtf16LeMark = "\xFF\xFE";
constexpr std::string_view kUtf16BeMark = "\xFE\xFF";

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool HasByteOrderMark(std::string_view bytes) {
  return StartsWith(bytes, kUtf8Mark) || StartsWith(bytes, kUtf16LeMark) ||
         StartsWith(bytes, kUtf16BeMark);
}

// A last byte 0x5C that is the second byte of a double-byte character is
// not a separator.
bool EndsWithSeparator(std::string_view folder) {
  return !folder.empty() && path_text::LastSeparator(folder) == folder.size() - 1;
}

// A bare file name lives in the Windows directory, as on Windows.
std::string ProfilePath(const FileSystem& files, const std::string& file) {
  const PathParts parts = SplitPath(file);
  if (!parts.drive.empty() || !parts.directory.empty()) return file;
  std::string directory = files.GetWindowsDirectory();
  if (!EndsWithSeparator(directory)) directory += '\\';
  return directory + file;
}

std::optional<std::string> ReadWholeFile(FileSystem& files, std::string_view path) {
  const auto input = files.OpenRead(path);
  if (!input) return std::nullopt;
  return ReadToEnd(*input);
}

// A profile with a byte-order mark is read through its encoding; one that
// does not convert to CP932 as a whole reads as empty.
std::string AnsiText(std::string_view bytes) {
  std::optional<std::string> utf8;
  if (StartsWith(bytes, kUtf8Mark)) {
    utf8 = std::string(bytes.substr(kUtf8Mark.size()));
  } else if (StartsWith(bytes, kUtf16LeMark)) {
    utf8 = utf16::LittleEndianToUtf8(bytes.substr(kUtf16LeMark.size()));
  } else if (StartsWith(bytes, kUtf16BeMark)) {
    utf8 = utf16::BigEndianToUtf8(bytes.substr(kUtf16BeMark.size()));
  } else {
    return std::string(bytes);
  }
  if (!utf8) return {};
  return cp932::FromUtf8(*utf8).value_or(std::string());
}

std::string WithoutTrailingBlanks(std::string_view text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return std::string(text);
}

std::string WithoutEnclosingQuotes(const std::string& value) {
  const bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                      value.back() == value.front();
  return quoted ? value.substr(1, value.size() - 2) : value;
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// What would not read back as the same entry is refused rather than written:
// a line break would add lines, '=' in a key or ']' in a section would split
// the name, and a key beginning with ';' or '[' would not be a key.
bool ReadsBackAsWritten(std::string_view section, std::string_view key, std::string_view value) {
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value)) return false;
  if (cp932::Find(section, "]") >= 0) return false;
  if (key.empty() || key.find('=') != std::string_view::npos) return false;
  return key.front() != ';' && key.front() != '[';
}

// The profile's bytes, empty for a missing file; nullopt for a file that
// exists, or may exist, but cannot be read.
std::optional<std::string> ReadExistingProfile(FileSystem& files, const std::string& path) {
  switch (files.Exists(path)) {
    case Presence::Absent:
      return std::string();
    case Presence::Present:
      return ReadWholeFile(files, path);
    case Presence::Unknown:
      break;
  }
  return std::nullopt;
}

std::optional<std::string> ReadValue(FileSystem& files, const std::string& section,
                                     const std::string& key, const std::string& defaultValue,
                                     const std::string& file) {
  const auto bytes = ReadExistingProfile(files, ProfilePath(files, file));
  if (!bytes) return std::nullopt;
  const auto document = ProfileDocument::Parse(AnsiText(*bytes));
  const auto value = document.Find(section, key);
  if (!value) return WithoutTrailingBlanks(defaultValue);
  return WithoutEnclosingQuotes(*value);
}

}  // namespace

std::optional<std::string> GetProfileEntry(FileSystem& files, const std::string& section,
                                           const std::string& key, const std::string& file) {
  const auto bytes = ReadWholeFile(files, ProfilePath(files, file));
  const auto document = ProfileDocument::Parse(bytes ? AnsiText(*bytes) : std::string());
  const auto value = document.Find(section, key);
  if (!value) return std::nullopt;
  return WithoutEnclosingQuotes(*value);
}

std::optional<std::string> ReadProfileText(FileSystem& files, const std::string& section,
                                           const std::string& key, const std::string& defaultValue,
                                           DWORD size, const std::string& file) {
  if (size == 0) return std::string();
  const auto value = ReadValue(files, section, key, defaultValue, file);
  if (!value) return std::nullopt;
  return value->substr(0, cp932::CharacterBoundary(*value, size - 1));
}

// As Windows does, a file that cannot be read gives the default.
std::string GetProfileText(FileSystem& files, const std::string& section, const std::string& key,
                           const std::string& defaultValue, DWORD size, const std::string& file) {
  if (size == 0) return {};
  if (auto text = ReadProfileText(files, section, key, defaultValue, size, file)) return *text;
  const std::string value = WithoutTrailingBlanks(defaultValue);
  return value.substr(0, cp932::CharacterBoundary(value, size - 1));
}

DWORD GetPrivateProfileStringA(FileSystem& files, const std::string& section,
                               const std::string& key, const std::string& defaultValue,
                               char* buffer, DWORD size, const std::string& file) {
  if (buffer == nullptr || size == 0) return 0;
  const std::string text = GetProfileText(files, section, key, defaultValue, size, file);
  std::memcpy(buffer, text.data(), text.size());
  buffer[text.size()] = '\0';
  return static_cast<DWORD>(text.size());
}

BOOL WritePrivateProfileStringA(FileSystem& files, const std::string& section,
                                const std::string& key, const std::string& value,
                                const std::string& file) {
  if (!ReadsBackAsWritten(section, key, value)) return kFailed;
  const std::string path = ProfilePath(files, file);
  // A file that cannot be read, or may exist, is never overwritten.
  const auto bytes = ReadExistingProfile(files, path);
  if (!bytes || HasByteOrderMark(*bytes)) return kFailed;
  auto document = ProfileDocument::Parse(*bytes);
  document.Set(section, key, value);
  const auto replacement = files.BeginReplace(path);
  if (!replacement || !replacement->Write(document.Bytes())) return kFailed;
  return replacement->Commit() ? kWritten : kFailed;
}

}  // namespace tovrin
