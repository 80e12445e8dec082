// Before the first write from a disk, once the disk is verified (which reads
// each single file whole): every archive that disk serves is decoded member
// by member into temporary files that wait for its record, and each file system the run writes to
// must have room, in bytes and in files, for all of it and for the closing phase, the journal's
// part included, so that a bad medium or a full disk stops the run before
// it touches the product.

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <set>
#include <vector>

#include "archive/archive_message.hpp"
#include "engine/archive_contents.hpp"
#include "engine/master_conversion.hpp"
#include "engine/master_folder.hpp"
#include "engine/room_ledger.hpp"
#include "engine/record_size.hpp"
#include "engine/text_format.hpp"
#include "engine/update_run.hpp"
#include "platform/cp932.hpp"
#include "platform/path_text.hpp"
#include "platform/split_path.hpp"
#include "resources/messages.hpp"

namespace tovrin {

namespace {

constexpr DWORD kLibraryOutputSize = 256;
constexpr int kArchiveKind = 1;

// A line of the journal for each file, besides the file's own block.
std::uint64_t JournalBytes(const std::string& name) { return name.size() + 32 + kBlockBytes; }

}  // namespace

// What the closing phase will write, though it comes last: each settings
// file written anew while its old version is kept, and each master rewritten
// beside its old version through the work file (copied into the journal
// where its folder lies on another file system). False, with its box shown,
// when a file system has not the room.
bool UpdateRun::CountClosingNeeds(int first, RoomLedger& ledger,
                                  const std::filesystem::path& productRoot) {
  FileSystem& files = platform_.files;
  for (const std::string& name :
       {std::string(kMasterSettingsFile), std::string(kHistoryFile), description_.m_strIniName}) {
    const std::string path = productFolder_ + name;
    FileStatus status;
    const std::uint64_t size = files.GetStatus(path, status) ? status.size : 0;
    ledger.Add(productRoot, size + JournalBytes(name) + kBlockBytes, 1);
    if (!ledger.Short()) continue;
    const std::string shown = path_text::SingleSeparators(path);
    RefuseMedium(first, "the disk has no room for " + shown,
                 FormatText(cp932::Text(texts::kMemberCannotWrite), {shown}));
    return false;
  }
  const auto productRoom = FreeRoomOf(productRoot);
  for (const MasterFolder& folder : MasterFoldersToConvert()) {
    std::vector<std::string> names;
    ListMatchingFiles(files, names, folder.windows + std::string(kMasterPattern));
    std::uint64_t bytes = 0;
    std::uint64_t largest = 0;
    for (const std::string& name : names) {
      FileStatus status;
      const std::uint64_t size = files.GetStatus(folder.windows + name, status) ? status.size : 0;
      bytes += size + kBlockBytes;
      largest = std::max(largest, size + kBlockBytes);
    }
    ledger.Add(folder.host, bytes + largest, names.size() + 1);
    const auto masterRoom = FreeRoomOf(folder.host);
    if (productRoom && masterRoom && masterRoom->volume != productRoom->volume) {
      ledger.Add(productRoot, bytes, names.size());
    }
    if (!ledger.Short()) continue;
    const std::string shown = path_text::SingleSeparators(folder.windows);
    RefuseMedium(first, "the disk of the master folder " + shown + " has no room",
                 FormatText(cp932::Text(texts::kMemberCannotWrite), {shown}));
    return false;
  }
  return true;
}

bool UpdateRun::CheckComingRecords(int first) {
  FileSystem& files = platform_.files;
  const auto productRoot = files.Resolve(productFolder_);
  RoomLedger ledger;
  // The journal's own folders and files.
  if (productRoot) ledger.Add(*productRoot, 3 * kBlockBytes, 3);
  if (productRoot && !CountClosingNeeds(first, ledger, *productRoot)) return false;
  const int last = DiskEnd(first);
  // Room first: checking an archive writes its temporaries.
  std::set<std::string> newFolders;
  for (int index = first; index < last; ++index) {
    const std::string targetFolder = TargetFolderShown(index);
    // A folder the record will make takes a file and a block of its own.
    if (productRoot && files.Exists(targetFolder) == Presence::Absent &&
        newFolders.insert(targetFolder).second) {
      ledger.Add(*productRoot, kBlockBytes, 1);
    }
    const bool isArchive = description_.m_nFileKind[index] == kArchiveKind;
    const std::string source = RecordMediumFile(index);
    std::uint64_t bytes = RecordBytes(files, source, isArchive).value_or(0);
    std::vector<std::string> names{SplitPath(source).name + SplitPath(source).extension};
    if (isArchive) names = ArchiveFileNames(files, source);
    for (const std::string& name : names) bytes += JournalBytes(name);
    if (productRoot) ledger.Add(*productRoot, bytes, names.size());
    if (!ledger.Short()) continue;
    const std::string shown = isArchive ? targetFolder : targetFolder + names.front();
    RefuseMedium(first, "the product's disk has no room for " + shown,
                 isArchive ? ArchiveMessage(texts::kMemberCannotWrite, {shown})
                           : FormatText(cp932::Text(texts::kFileUpdateFailed), {shown}));
    return false;
  }
  // Single files were read whole when the disk was verified.
  for (int index = first; index < last; ++index) {
    if (description_.m_nFileKind[index] != kArchiveKind) continue;
    const std::string source = RecordMediumFile(index);
    const std::string shownSource = path_text::SingleSeparators(source);
    staged_[index].reset();
    char output[kLibraryOutputSize] = {};
    const auto& listed = listedSha256_[index];
    staged_[index] = archives_.Stage(owner_, source, ExtractCommand(index),
                                     listed ? ArchiveDigest::Take : ArchiveDigest::Skip, output,
                                     kLibraryOutputSize);
    // What was decoded must be what was signed, not only what was hashed
    // before: a share can be written while the run reads it.
    const auto decoded = staged_[index] ? staged_[index]->ArchiveSha256() : std::nullopt;
    if (listed && decoded && *decoded != *listed) {
      staged_[index].reset();
      const MediumDistrust changed{MediumDistrust::Kind::Changed, shownSource, {}};
      RefuseMedium(first, DistrustFinding(changed), DistrustText(changed));
      return false;
    }
    if (staged_[index]) continue;
    output[kLibraryOutputSize - 1] = '\0';
    RefuseMedium(first, "the archive " + shownSource + " does not test whole: " + output,
                 FormatText(cp932::Text(texts::kArchiveFaulty), {shownSource, output}));
    return false;
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
