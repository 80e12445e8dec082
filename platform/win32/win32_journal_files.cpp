// The journal's file operations on Windows: CreateHardLinkW through
// std::filesystem, CopyFileW for the copies (attributes and times come
// along), records flushed with FlushFileBuffers, renames written through.

#include <system_error>

#include "platform/journal_files.hpp"
#include "platform/win32/win32_files.hpp"
#include "platform/win32/windows_api.hpp"

namespace tovrin {

namespace fs = std::filesystem;

namespace {

class Win32JournalFiles : public JournalFiles {
 public:
  LinkResult Link(const fs::path& file, const fs::path& kept) override {
    if (CreateHardLinkW(kept.c_str(), file.c_str(), nullptr)) return LinkResult::Linked;
    switch (GetLastError()) {
      case ERROR_NOT_SAME_DEVICE:
      case ERROR_INVALID_FUNCTION:  // FAT volumes have no hard links
      case ERROR_NOT_SUPPORTED:
      case ERROR_TOO_MANY_LINKS:
        return LinkResult::Unsupported;
      default:
        return LinkResult::Failed;
    }
  }

  bool CopyWhole(const fs::path& file, const fs::path& kept) override {
    return CopyFileW(file.c_str(), kept.c_str(), TRUE) && Flushed(kept);
  }

  // NTFS logs its folder changes itself; a folder cannot be flushed.
  bool FlushFolder(const fs::path&) override { return true; }

  bool AppendDurably(const fs::path& file, std::string_view bytes) override {
    const HANDLE handle = CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr,
                                      OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    Win32OutputFile output(handle);
    return output.Write(bytes) && output.Flush() && output.Close();
  }

  std::optional<std::string> ReadWhole(const fs::path& file) const override {
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return std::nullopt;
    Win32InputFile input(handle);
    std::string content;
    char buffer[8192];
    for (;;) {
      const auto count = input.Read(buffer, sizeof buffer);
      if (!count) return std::nullopt;
      if (*count == 0) return content;
      content.append(buffer, *count);
    }
  }

  bool MoveBack(const fs::path& from, const fs::path& to) override {
    return MoveFileExW(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
  }

  bool MakeFolders(const fs::path& folder) override {
    std::error_code error;
    fs::create_directories(folder, error);
    return !error && fs::is_directory(folder, error);
  }

  bool RemoveEntry(const fs::path& path) override {
    std::error_code error;
    fs::remove(path, error);
    return !error;
  }

  bool RemoveTree(const fs::path& folder) override {
    std::error_code error;
    fs::remove_all(folder, error);
    return !error;
  }

  bool Exists(const fs::path& path) const override {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
  }

 private:
  static bool Flushed(const fs::path& file) {
    const HANDLE handle = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool flushed = FlushFileBuffers(handle) != 0;
    CloseHandle(handle);
    return flushed;
  }
};

}  // namespace

std::unique_ptr<JournalFiles> MakeJournalFiles() { return std::make_unique<Win32JournalFiles>(); }

}  // namespace tovrin
