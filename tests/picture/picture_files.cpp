#include "tests/picture/picture_files.hpp"

#include <fstream>

namespace tovrin::testing {
namespace {

// Records each read it passes on, to see the pieces a reader asks for.
class RecordingInput : public InputFile {
 public:
  RecordingInput(std::unique_ptr<InputFile> inner, std::shared_ptr<std::vector<std::size_t>> sizes)
      : inner_(std::move(inner)), sizes_(std::move(sizes)) {}
  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    sizes_->push_back(size);
    return inner_->Read(buffer, size);
  }

 private:
  std::unique_ptr<InputFile> inner_;
  std::shared_ptr<std::vector<std::size_t>> sizes_;
};

class HostInput : public InputFile {
 public:
  explicit HostInput(const std::filesystem::path& path) : in_(path, std::ios::binary) {}
  bool IsOpen() const { return in_.is_open(); }
  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    in_.read(buffer, static_cast<std::streamsize>(size));
    return static_cast<std::size_t>(in_.gcount());
  }

 private:
  std::ifstream in_;
};

// Drive C: on the test's folder; only what the picture routines use.
class FolderFiles : public FileSystem {
 public:
  FolderFiles(std::filesystem::path root, std::shared_ptr<std::vector<std::size_t>> sizes)
      : root_(std::move(root)), sizes_(std::move(sizes)) {}

  std::optional<std::filesystem::path> Resolve(std::string_view path) const override {
    if (path.substr(0, 3) != "C:\\") return std::nullopt;
    return root_ / std::string(path.substr(3));
  }
  std::unique_ptr<InputFile> OpenRead(std::string_view path, OpenAccess) override {
    const auto host = Resolve(path);
    if (!host || !std::filesystem::is_regular_file(*host)) return nullptr;
    auto input = std::make_unique<HostInput>(*host);
    if (!input->IsOpen()) return nullptr;
    return std::make_unique<RecordingInput>(std::move(input), sizes_);
  }
  bool GetStatus(std::string_view path, FileStatus& status) const override {
    const auto host = Resolve(path);
    std::error_code error;
    if (!host) return false;
    status.size = std::filesystem::file_size(*host, error);
    return !error;
  }

  DriveType GetDriveType(std::string_view) const override { return DRIVE_FIXED; }
  std::vector<char> DriveLetters() const override { return {'C'}; }
  std::optional<std::string> ToWindowsPath(const std::filesystem::path&) const override { return {}; }
  int Access(std::string_view) const override { return -1; }
  int Mkdir(std::string_view) override { return -1; }
  int Chdir(std::string_view) override { return -1; }
  int Chdrive(int) override { return -1; }
  int Getdrive() const override { return 3; }
  std::string Getcwd() const override { return "C:\\"; }
  std::string GetWindowsDirectory() const override { return "C:\\WINDOWS"; }
  bool CopyFile(std::string_view, std::string_view, bool) override { return false; }
  bool SetStatus(std::string_view, const FileStatus&) override { return false; }
  bool Remove(std::string_view) override { return false; }
  bool Rename(std::string_view, std::string_view) override { return false; }
  bool Replace(std::string_view, std::string_view) override { return false; }
  std::unique_ptr<OutputFile> Create(std::string_view) override { return nullptr; }
  std::unique_ptr<AtomicFile> BeginReplace(std::string_view) override { return nullptr; }
  std::vector<FindEntry> FindFiles(std::string_view) const override { return {}; }

 private:
  std::filesystem::path root_;
  std::shared_ptr<std::vector<std::size_t>> sizes_;
};

}  // namespace

PictureFiles::PictureFiles()
    : readSizes_(std::make_shared<std::vector<std::size_t>>()),
      files_(std::make_unique<FolderFiles>(folder_.path(), readSizes_)) {}

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
