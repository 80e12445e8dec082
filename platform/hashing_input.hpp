#pragma once
// A file read and hashed in one pass: what a reader parsed is what was
// hashed, however the file changes on its disk while it is read.

#include <optional>
#include <string>

#include "platform/file_system.hpp"
#include "platform/sha256.hpp"

namespace tovrin {

class HashingInput : public InputFile {
 public:
  explicit HashingInput(InputFile& inner) : inner_(inner) {}
  std::optional<std::size_t> Read(char* buffer, std::size_t size) override;
  // Reads what the reader left, to the end of the file, and gives the hash
  // of every byte; nullopt when a read failed. The object is spent.
  std::optional<Sha256::Hash> Finish();

 private:
  InputFile& inner_;
  Sha256 digest_;
  bool failed_ = false;
};

// The file read whole and hashed; nullopt when it cannot be.
std::optional<Sha256::Hash> HashFile(FileSystem& files, const std::string& path);

}  // namespace tovrin
