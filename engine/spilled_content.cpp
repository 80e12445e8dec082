#include "engine/spilled_content.hpp"

#include <chrono>
#include <string>
#include <system_error>
#include <vector>

namespace tovrin {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kCopyBlock = 64 * 1024;
constexpr int kFolderAttempts = 100;

// A folder of its own below the system's temporary folder: an existing one
// is never taken over.
std::optional<fs::path> MakePrivateFolder() {
  std::error_code error;
  const fs::path parent = fs::temp_directory_path(error);
  if (error) return std::nullopt;
  const auto seed =
      static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
  for (int attempt = 0; attempt < kFolderAttempts; ++attempt) {
    const fs::path folder = parent / ("tovrin-dry-run-" + std::to_string(seed + attempt));
    if (fs::create_directory(folder, error)) {
      fs::permissions(folder, fs::perms::owner_all, error);
      return folder;
    }
  }
  return std::nullopt;
}

// Keeps its content, and so its file, while it is open.
class SpilledInputFile : public InputFile {
 public:
  SpilledInputFile(std::shared_ptr<const SpilledContent> content, const fs::path& file)
      : content_(std::move(content)),
        input_(file, std::ios::binary),
        left_(content_->Size()) {}

  bool IsOpen() const { return input_.is_open(); }

  // Only the bytes written when it was opened: a content still being
  // written reads as far as it had come.
  std::optional<std::size_t> Read(char* buffer, std::size_t size) override {
    const auto wanted = static_cast<std::streamsize>(std::min<std::uint64_t>(size, left_));
    if (wanted == 0) return 0;
    input_.read(buffer, wanted);
    const auto got = input_.gcount();
    if (got == 0) return std::nullopt;
    left_ -= static_cast<std::uint64_t>(got);
    return static_cast<std::size_t>(got);
  }

 private:
  std::shared_ptr<const SpilledContent> content_;
  std::ifstream input_;
  std::uint64_t left_;
};

}  // namespace

SpilledContent::SpilledContent(std::shared_ptr<SpillFolder> folder, fs::path file)
    : folder_(std::move(folder)),
      file_(std::move(file)),
      output_(file_, std::ios::binary | std::ios::trunc) {}

SpilledContent::~SpilledContent() {
  output_.close();
  std::error_code ignored;
  fs::remove(file_, ignored);
}

bool SpilledContent::Append(std::string_view bytes) {
  if (!output_.write(bytes.data(), static_cast<std::streamsize>(bytes.size())) ||
      !output_.flush()) {
    return false;
  }
  size_ += bytes.size();
  return true;
}

std::unique_ptr<InputFile> SpilledContent::OpenRead() const {
  auto input = std::make_unique<SpilledInputFile>(shared_from_this(), file_);
  if (!input->IsOpen()) return nullptr;
  return input;
}

SpillFolder::SpillFolder() : folder_(MakePrivateFolder()) {}

SpillFolder::~SpillFolder() {
  if (!folder_) return;
  std::error_code ignored;
  fs::remove_all(*folder_, ignored);
}

std::shared_ptr<SpilledContent> SpillFolder::NewContent() {
  if (!folder_) return nullptr;
  auto content = std::make_shared<SpilledContent>(shared_from_this(),
                                                  *folder_ / std::to_string(nextNumber_++));
  if (!content->Append({})) return nullptr;
  return content;
}

std::shared_ptr<SpilledContent> SpillFolder::Copy(InputFile& input) {
  auto content = NewContent();
  if (!content) return nullptr;
  std::vector<char> block(kCopyBlock);
  for (;;) {
    const auto count = input.Read(block.data(), block.size());
    if (!count) return nullptr;
    if (*count == 0) return content;
    if (!content->Append(std::string_view(block.data(), *count))) return nullptr;
  }
}

}  // namespace tovrin
