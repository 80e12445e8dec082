// One update record: the disk it lies on, then its archive extracted or its
// single file copied into the product.

#include <algorithm>
#include <string>

#include "engine/path_helpers.hpp"
#include "engine/record_size.hpp"
#include "engine/text_format.hpp"
#include "engine/update_error.hpp"
#include "engine/update_run.hpp"
#include "engine/whole_file_copy.hpp"
#include "platform/cp932.hpp"
#include "platform/profile.hpp"
#include "platform/split_path.hpp"
#include "resources/messages.hpp"
#include "platform/path_text.hpp"

namespace tovrin {

namespace {

constexpr const char* kStartArchive = "START";
constexpr const char* kArchiveExtension = ".lzh";
// The archive is named with its extension: a record "README.TXT" is the
// archive README.TXT.lzh, which the disk prompt looks for, never README.TXT.
constexpr const char* kExtractCommand = "e -mcw%s \"%s\" \"%s\"";
constexpr DWORD kLibraryOutputSize = 256;
constexpr int kArchiveKind = 1;
constexpr int kFirstDisk = 1;
constexpr int kLastNumberedProduct = 15;
constexpr int kOtherMakerProduct = 99;

// The variant of the "START" archive that fits the product.
std::string ProductSuffix(int productNo) {
  const bool known =
      (productNo >= 0 && productNo <= kLastNumberedProduct) || productNo == kOtherMakerProduct;
  return known ? std::to_string(productNo) : std::string();
}

std::string Shown(const std::string& path) { return path_text::SingleSeparators(path); }

}  // namespace

UpdateRun::RecordResult UpdateRun::ProcessRecord(int index) {
  if (PromptsForDisk(index, currentDisk_)) {
    if (!AskForDisk(index)) return RecordResult::Cancelled;
    // A disk of another medium, or one changed, is refused: what the
    // earlier disks brought is put back.
    if (!VerifyDisk(index)) return RecordResult::Refused;
    PlanVisibleRecords();
    if (!CheckComingRecords(index)) return RecordResult::Stopped;
  }
  const std::string targetFolder = productFolder_ + description_.m_strSubDir[index];
  listeners_.RecordStarted(index + 1, std::clamp(description_.m_nFileCount, 0, kMaxRecords),
                           description_.m_strSrcName[index],
                           path_text::SingleSeparators(targetFolder));
  CreateFolderIfMissing(platform_.files, targetFolder);
  if (description_.m_nFileKind[index] == kArchiveKind) return ExtractArchive(index);
  return CopyUpdateFile(index, targetFolder);
}

bool UpdateRun::PromptsForDisk(int index, int currentDisk) const {
  const int disk = description_.m_nDiskNo[index];
  return disk != kFirstDisk && disk != currentDisk &&
         platform_.files.GetDriveType(platform_.mediumFolder) == DRIVE_REMOVABLE;
}

// False when the user cancelled; the cancel notice has been shown then.
bool UpdateRun::AskForDisk(int index) {
  const int disk = description_.m_nDiskNo[index];
  const std::string prompt =
      FormatText(cp932::Text(texts::kInsertUpdateDisk), {std::to_string(disk)});
  // Every record is looked for as an archive, whatever its kind: that file
  // is what tells the disks apart.
  const std::string marker =
      platform_.mediumFolder + description_.m_strSrcName[index] + kArchiveExtension;
  const std::string caption = cp932::Text(texts::kCaptionConfirm);
  while (true) {
    if (ShowBox(prompt, caption, MB_OKCANCEL) != IDOK) {
      ShowBox(cp932::Text(texts::kUpdateCancelled), caption, MB_OK);
      return false;
    }
    if (platform_.files.Exists(marker) == Presence::Present) {
      currentDisk_ = disk;
      return true;
    }
  }
}

// The file on the medium that a record reads, with the product's variant of
// the "START" archive.
std::string UpdateRun::RecordMediumFile(int index) const {
  std::string name = description_.m_strSrcName[index];
  if (description_.m_nFileKind[index] != kArchiveKind) return platform_.mediumFolder + name;
  if (SplitPath(name).name == kStartArchive) name += ProductSuffix(m_nProductNo);
  return platform_.mediumFolder + name + kArchiveExtension;
}

void UpdateRun::PlanVisibleRecords() {
  std::uint64_t bytes = 0;
  int planned = 0;
  const int records = std::clamp(description_.m_nFileCount, 0, kMaxRecords);
  for (int index = 0; index < records; ++index) {
    if (recordPlanned_[index]) continue;
    const bool isArchive = description_.m_nFileKind[index] == kArchiveKind;
    const auto recordBytes = RecordBytes(platform_.files, RecordMediumFile(index), isArchive);
    if (!recordBytes) continue;
    recordPlanned_[index] = true;
    bytes += *recordBytes;
    ++planned;
  }
  if (planned != 0) listeners_.BytesPlanned(bytes, planned);
}

std::string UpdateRun::TargetFolderShown(int index) const {
  return path_text::SingleSeparators(productFolder_ + description_.m_strSubDir[index]);
}

std::string UpdateRun::ExtractCommand(int index) const {
  return FormatText(kExtractCommand, {windowsDirectory_, RecordMediumFile(index),
                                      productFolder_ + description_.m_strSubDir[index]});
}

// The archive was decoded into temporaries by the disk's check; they are
// renamed into place now, each journaled before it moves.
UpdateRun::RecordResult UpdateRun::ExtractArchive(int index) {
  if (SplitPath(description_.m_strSrcName[index]).name == kStartArchive) {
    PrepareStartArchive(index);
  }
  const auto staged = std::move(staged_[index]);
  if (!staged) throw UpdateError(cp932::Text(texts::kUnknownError));
  JournalAhead(index, productFolder_ + description_.m_strSubDir[index]);
  char output[kLibraryOutputSize] = {};
  if (staged->Apply(output, kLibraryOutputSize) == 0) return RecordResult::Done;
  output[kLibraryOutputSize - 1] = '\0';
  ShowBox(output, cp932::Text(texts::kCaptionConfirm), MB_OK);
  return RecordResult::Stopped;
}

// The product's variant of the archive, and the version it brings written
// before it is extracted.
void UpdateRun::PrepareStartArchive(int index) {
  description_.m_strSrcName[index] += ProductSuffix(m_nProductNo);
  const std::string& version = description_.m_strVersion;
  if (version.empty() || m_nProductNo > kLastNumberedProduct) return;
  WriteSetting("SYSTEM", "Version", version, productFolder_ + description_.m_strIniName);
}

UpdateRun::RecordResult UpdateRun::CopyUpdateFile(int index, const std::string& targetFolder) {
  FileSystem& files = platform_.files;
  const std::string caption = cp932::Text(texts::kCaptionConfirm);
  const std::string sourcePath = platform_.mediumFolder + description_.m_strSrcName[index];
  const PathParts parts = SplitPath(sourcePath);
  const std::string destinationPath = targetFolder + parts.name + parts.extension;
  const CopyResult copied = CopyFileWhole(files, sourcePath, destinationPath, listedSha256_[index]);
  if (copied == CopyResult::NotAsListed) {
    // Changed on the medium since its check: nothing of it went in.
    ShowBox(DistrustText({MediumDistrust::Kind::Changed, Shown(sourcePath), {}}), caption, MB_OK);
    return RecordResult::Stopped;
  }
  if (copied == CopyResult::Failed) {
    ShowBox(FormatText(cp932::Text(texts::kFileUpdateFailed), {Shown(destinationPath)}), caption,
            MB_OK);
    return RecordResult::Stopped;
  }
  FileStatus status;
  if (!files.GetStatus(destinationPath, status)) {
    ShowBox(FormatText(cp932::Text(texts::kAttributeUpdateFailed), {Shown(sourcePath)}), caption,
            MB_OK);
    return RecordResult::Stopped;
  }
  // Already plain: nothing to write, and a dry run has nothing to list.
  if (status.attribute == ATTR_NORMAL) return RecordResult::Done;
  status.attribute = ATTR_NORMAL;
  if (!files.SetStatus(destinationPath, status)) {
    throw UpdateError(
        FormatText(cp932::Text(texts::kAttributeWriteFailed), {Shown(destinationPath)}));
  }
  return RecordResult::Done;
}

}  // namespace tovrin
