#pragma once
// Command-line arguments and messages are UTF-8 on every system; Windows
// host paths are not narrow UTF-8 text, so the conversion is spelled out.

#include <filesystem>
#include <string>

namespace tovrin {

inline std::filesystem::path PathFromUtf8(const std::string& utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

inline std::string Utf8Of(const std::filesystem::path& path) {
  const std::u8string text = path.u8string();
  return std::string(text.begin(), text.end());
}

}  // namespace tovrin
