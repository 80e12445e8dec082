#pragma once
// Drive C: on a temporary folder, through the real file system, with every
// read asked of its files recorded.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/test_file_system.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {

class PictureFiles {
 public:
  PictureFiles();
  ~PictureFiles();
  // Writes `bytes` as `name` and returns its Windows path.
  std::string Put(std::string_view name, std::string_view bytes);
  FileSystem& files() { return *files_; }
  // The sizes of every read asked of files opened since the last call.
  std::vector<std::size_t> TakeReadSizes();

 private:
  TempFolder folder_;
  std::shared_ptr<std::vector<std::size_t>> readSizes_;
  std::unique_ptr<TestFileSystem> files_;
};

}  // namespace tovrin::testing
