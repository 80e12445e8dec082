#include "tests/picture/picture_files.hpp"

#include "tests/support/temp_drive.hpp"

namespace tovrin::testing {
namespace {

// Records each read it passes on, to see the pieces a reader asks for.
class RecordingInput : public InputFile {
 public:
  RecordingInput(std::unique_ptr<InputFile> inner, std::shared_ptr<std::vector<std::size_t>> sizes)
      : inner_(std::move(inner)),
        sizes_(std::move(sizes)) {}
  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    sizes_->push_back(size);
    return inner_->Read(buffer, size);
  }

 private:
  std::unique_ptr<InputFile> inner_;
  std::shared_ptr<std::vector<std::size_t>> sizes_;
};

class RecordingFileSystem : public TestFileSystem {
 public:
  RecordingFileSystem(DriveTable drives, std::shared_ptr<std::vector<std::size_t>> sizes)
      : TestFileSystem(std::move(drives)),
        sizes_(std::move(sizes)) {}

  std::unique_ptr<InputFile> OpenRead(std::string_view path, OpenAccess access) override {
    auto file = TestFileSystem::OpenRead(path, access);
    if (!file) return nullptr;
    return std::make_unique<RecordingInput>(std::move(file), sizes_);
  }

 private:
  std::shared_ptr<std::vector<std::size_t>> sizes_;
};

}  // namespace

PictureFiles::PictureFiles()
    : readSizes_(std::make_shared<std::vector<std::size_t>>()),
      files_(std::make_unique<RecordingFileSystem>(TempDriveTable(folder_.path()), readSizes_)) {}

PictureFiles::~PictureFiles() = default;

std::string PictureFiles::Put(std::string_view name, std::string_view bytes) {
  folder_.Write(std::string(name), bytes);
  return "C:\\" + std::string(name);
}

std::vector<std::size_t> PictureFiles::TakeReadSizes() {
  std::vector<std::size_t> sizes;
  sizes.swap(*readSizes_);
  return sizes;
}

}  // namespace tovrin::testing
