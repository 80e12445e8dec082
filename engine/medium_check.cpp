// Before the first write from a disk: every record that disk serves is
// checked (each archive tested member by member, each single file read
// whole) and the product's file system must have room for all of it, so
// that a bad medium stops the run before it touches the product.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>

#include "archive/archive_message.hpp"
#include "engine/record_size.hpp"
#include "engine/text_format.hpp"
#include "engine/update_run.hpp"
#include "platform/cp932.hpp"
#include "platform/path_text.hpp"
#include "platform/program_directory.hpp"
#include "platform/split_path.hpp"
#include "resources/messages.hpp"

namespace tovrin {

namespace {

constexpr const char* kTestCommand = "t \"%s\"";
constexpr DWORD kLibraryOutputSize = 256;
constexpr int kArchiveKind = 1;
constexpr std::size_t kReadBuffer = 64 * 1024;

// The size of a file read whole; nullopt when it cannot be read.
std::optional<std::uint64_t> ReadWhole(FileSystem& files, const std::string& path) {
  auto input = files.OpenRead(path);
  if (!input) return std::nullopt;
  std::string buffer(kReadBuffer, '\0');
  std::uint64_t size = 0;
  for (;;) {
    const auto count = input->Read(buffer.data(), buffer.size());
    if (!count) return std::nullopt;
    if (*count == 0) return size;
    size += *count;
  }
}

std::uint64_t FreeSpace(const std::filesystem::path& folder) {
  std::error_code error;
  const auto space = std::filesystem::space(folder, error);
  return error ? UINTMAX_MAX : space.available;
}

}  // namespace

bool UpdateRun::CheckComingRecords(int first) {
  FileSystem& files = platform_.files;
  const auto productRoot = files.Resolve(productFolder_);
  const std::uint64_t room = productRoot ? FreeSpace(*productRoot) : UINTMAX_MAX;
  std::uint64_t needed = 0;
  const int records = std::clamp(description_.m_nFileCount, 0, kMaxRecords);
  for (int index = first; index < records && !PromptsForDisk(index, currentDisk_); ++index) {
    const std::string targetFolder = path_text::SingleSeparators(productFolder_ +
                                                                 description_.m_strSubDir[index]);
    if (description_.m_nFileKind[index] == kArchiveKind) {
      const std::string archive = RecordMediumFile(index);
      char output[kLibraryOutputSize] = {};
      if (archives_.Command(owner_, FormatText(kTestCommand, {archive}), output,
                            kLibraryOutputSize) != 0) {
        output[kLibraryOutputSize - 1] = '\0';
        const std::string shownArchive = path_text::SingleSeparators(archive);
        RefuseMedium(first, "the archive " + shownArchive + " does not test whole: " + output,
                     FormatText(cp932::Text(texts::kArchiveFaulty), {shownArchive, output}));
        return false;
      }
      needed += RecordBytes(files, archive, true).value_or(0);
      if (needed > room) {
        RefuseMedium(first, "the product's disk has no room for " + targetFolder,
                     ArchiveMessage(texts::kMemberCannotWrite, {targetFolder}));
        return false;
      }
      continue;
    }
    const std::string sourcePath = RecordMediumFile(index);
    const PathParts parts = SplitPath(sourcePath);
    const auto size = ReadWhole(files, sourcePath);
    needed += size.value_or(0);
    if (!size || needed > room) {
      const std::string destinationPath = targetFolder + parts.name + parts.extension;
      RefuseMedium(first,
                   size ? "the product's disk has no room for " + destinationPath
                        : "the file " + path_text::SingleSeparators(sourcePath) +
                              " cannot be read whole",
                   FormatText(cp932::Text(texts::kFileUpdateFailed), {destinationPath}));
      return false;
    }
  }
  return true;
}

// Before the first record the run is refused and the user told that the
// product is as it was; after a disk prompt earlier records have been
// written, and the run stops to put them back.
void UpdateRun::RefuseMedium(int first, const std::string& finding, const std::string& text) {
  if (first != 0) {
    ShowBox(text, cp932::Text(texts::kCaptionConfirm), MB_OK);
    return;
  }
  listeners_.ProductRefused({"medium", {finding}});
  ShowBox(text + "\n" + cp932::Text(texts::kProductNotTouched), cp932::Text(texts::kCaptionError),
          MB_OK);
}

}  // namespace tovrin
