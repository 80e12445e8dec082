// Before the first write from a disk, and again after each disk prompt:
// what the disk says of itself (SHA256SUMS and its signature) against the
// keys the product trusts, and every file the run reads from the disk
// against it. Each file is hashed before the archive library decodes a byte
// of it, so a signed medium's decoder sees only bytes that were signed; what
// the run puts in place is hashed again as it is read (a share may change
// in between), and info.txt as it was parsed.

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/medium_trust.hpp"
#include "engine/text_format.hpp"
#include "engine/update_run.hpp"
#include "platform/hashing_input.hpp"
#include "platform/cp932.hpp"
#include "platform/path_text.hpp"
#include "platform/split_path.hpp"
#include "resources/messages.hpp"

namespace tovrin {

namespace {

constexpr int kArchiveKind = 1;
constexpr const char* kInfoFileName = "info.txt";

struct DiskFile {
  std::string path;
  int record = -1;                 // the record it serves; -1 for info.txt and the pictures
  std::optional<Sha256Hash> read;  // its bytes as the run read them already
};

}  // namespace

int UpdateRun::DiskEnd(int first) const {
  int last = first;
  const int records = std::clamp(description_.m_nFileCount, 0, kMaxRecords);
  while (last < records && !PromptsForDisk(last, currentDisk_)) ++last;
  return last;
}

bool UpdateRun::VerifyDisk(int first) {
  FileSystem& files = platform_.files;
  const std::string& root = platform_.mediumFolder;
  const auto refuse = [&](const MediumDistrust& distrust) {
    RefuseMedium(first, DistrustFinding(distrust), DistrustText(distrust));
    return false;
  };
  if (first == 0) {
    runKeys_ = trustedKeys_;
    if (const auto bad = AddProductKeys(files, productFolder_, runKeys_)) return refuse(*bad);
  }
  auto read = ReadDiskSignature(files, root, runKeys_);
  if (const auto* distrust = std::get_if<MediumDistrust>(&read)) return refuse(*distrust);
  const DiskSignature& disk = std::get<DiskSignature>(read);
  listeners_.MediumVerified(currentDisk_, disk.signer, disk.trusted);

  std::vector<DiskFile> reads;
  if (first == 0) {
    for (const std::string* name :
         {&description_.m_strViewPicture, &description_.m_strNoticePicture,
          &description_.m_strDestPicture, &description_.m_strConfirmPicture}) {
      if (!name->empty()) reads.push_back({root + *name, -1, std::nullopt});
    }
    // The bytes the description was parsed from, if it knows them.
    reads.push_back({root + kInfoFileName, -1, description_.infoSha256});
  }
  const int last = DiskEnd(first);
  for (int index = first; index < last; ++index) {
    reads.push_back({RecordMediumFile(index), index, std::nullopt});
    listedSha256_[index].reset();
  }

  if (disk.manifest) {
    for (const auto& [key, entry] : disk.manifest->entries) {
      if (files.Exists(root + entry.name) == Presence::Absent) {
        return refuse(
            {MediumDistrust::Kind::Missing, path_text::SingleSeparators(root + entry.name), {}});
      }
    }
  }
  std::set<std::string> hashed;
  for (const DiskFile& file : reads) {
    const bool archive = file.record >= 0 && description_.m_nFileKind[file.record] == kArchiveKind;
    const bool single = file.record >= 0 && !archive;
    const std::string shown = path_text::SingleSeparators(file.path);
    // An archive not there is told of by its own check; a picture, by nothing.
    if (!single && !file.read && files.Exists(file.path) == Presence::Absent) continue;
    // A single file is read whole by this check, with or without a manifest.
    if (!disk.manifest && !single) continue;
    const Sha256Hash* listed = nullptr;
    if (disk.manifest) {
      const auto key = ManifestKey(file.path.substr(std::min(root.size(), file.path.size())));
      if (key && !hashed.insert(*key).second) continue;
      const auto entry = key ? disk.manifest->entries.find(*key) : disk.manifest->entries.end();
      if (entry == disk.manifest->entries.end()) {
        return refuse({MediumDistrust::Kind::NotListed, shown, {}});
      }
      listed = &entry->second.hash;
      if (file.record >= 0) listedSha256_[file.record] = *listed;
    }
    const auto hash = file.read ? file.read : HashFile(files, file.path);
    if (!hash && single) {
      const PathParts parts = SplitPath(file.path);
      RefuseMedium(first, "the file " + shown + " cannot be read whole",
                   FormatText(cp932::Text(texts::kFileUpdateFailed),
                              {TargetFolderShown(file.record) + parts.name + parts.extension}));
      return false;
    }
    if (!hash) return refuse({MediumDistrust::Kind::Unreadable, shown, {}});
    if (listed && *hash != *listed) return refuse({MediumDistrust::Kind::Changed, shown, {}});
  }
  return true;
}

}  // namespace tovrin
