#pragma once
// A fresh host folder for one test, removed with everything in it.

#include <filesystem>
#include <string>
#include <string_view>

namespace tovrin::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  // Writes `bytes` to a file below the folder, creating its parents.
  std::filesystem::path Write(const std::filesystem::path& relative, std::string_view bytes) const;
  std::string Read(const std::filesystem::path& relative) const;

 private:
  std::filesystem::path path_;
};

// A whole file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

}  // namespace tovrin::testing
