#pragma once
// File content a dry run holds on the disk rather than in memory: each one
// a file in a private temporary folder, which goes with its last holder.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/file_system.hpp"

namespace tovrin {

class SpillFolder;

// One content, written once from its start, then read as often as needed.
class SpilledContent : public std::enable_shared_from_this<SpilledContent> {
 public:
  SpilledContent(std::shared_ptr<SpillFolder> folder, std::filesystem::path file);
  ~SpilledContent();
  SpilledContent(const SpilledContent&) = delete;
  SpilledContent& operator=(const SpilledContent&) = delete;

  bool Append(std::string_view bytes);
  std::uint64_t Size() const { return size_; }
  // Reads the bytes written so far; null when the file cannot be opened.
  std::unique_ptr<InputFile> OpenRead() const;

 private:
  std::shared_ptr<SpillFolder> folder_;  // outlives each of its files
  std::filesystem::path file_;
  std::ofstream output_;
  std::uint64_t size_ = 0;
};

// The private folder, made at once and removed with the last content.
class SpillFolder : public std::enable_shared_from_this<SpillFolder> {
 public:
  static std::shared_ptr<SpillFolder> Make() {
    return std::shared_ptr<SpillFolder>(new SpillFolder());
  }
  // False when no private folder could be made.
  bool Ready() const { return folder_.has_value(); }
  ~SpillFolder();
  SpillFolder(const SpillFolder&) = delete;
  SpillFolder& operator=(const SpillFolder&) = delete;

  // A new empty content; null when the temporary folder cannot be written.
  std::shared_ptr<SpilledContent> NewContent();
  // A new content holding the rest of `input`; null on a read or write error.
  std::shared_ptr<SpilledContent> Copy(InputFile& input);

 private:
  SpillFolder();

  std::optional<std::filesystem::path> folder_;
  std::uint64_t nextNumber_ = 0;
};

}  // namespace tovrin
