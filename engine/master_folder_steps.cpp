// The master folders the closing conversions write into, which may lie
// outside the product (an office shares one between its PCs): each is
// locked as the product is, and journaled with it, before anything in it
// changes.

#include <algorithm>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "engine/master_folder.hpp"
#include "engine/path_helpers.hpp"
#include "engine/text_format.hpp"
#include "engine/update_error.hpp"
#include "engine/update_run.hpp"
#include "platform/cp932.hpp"
#include "resources/messages.hpp"

namespace tovrin {

std::vector<UpdateRun::MasterFolder> UpdateRun::MasterFoldersToConvert() const {
  std::vector<MasterFolder> folders;
  if (std::atoi(description_.m_strMasterAdjust.c_str()) != 1) return folders;
  FileSystem& files = platform_.files;
  const auto prefix = MasterFolderPrefix(files, productFolder_ + kMasterSettingsFile);
  // Unreadable, the conversion itself fails and warns; nothing is written.
  if (!prefix) return folders;
  for (const std::string& folder : MasterFolders(*prefix)) {
    const auto host = files.Resolve(folder);
    // One that cannot be looked at is still locked, or the run stops there.
    if (host && files.Exists(folder) != Presence::Absent) {
      folders.push_back({folder, host->lexically_normal()});
    }
  }
  // One order for every run, so two runs never wait on each other.
  std::sort(folders.begin(), folders.end(),
            [](const MasterFolder& a, const MasterFolder& b) { return a.host < b.host; });
  return folders;
}

// The product's lock is held already; the master folders follow in the
// order of their host paths. Locks are only tried, never waited for.
bool UpdateRun::HoldMasterFolders(Refusal& refusal) {
  for (const MasterFolder& folder : MasterFoldersToConvert()) {
    if (std::any_of(heldMasterFolders_.begin(), heldMasterFolders_.end(),
                    [&](const MasterFolder& held) { return held.host == folder.host; })) {
      continue;
    }
    ProductLockResult lock = platform_.files.LockProduct(folder.windows);
    const std::string lockPath =
        folder.windows + std::string(kBookkeepingFolderName) + "\\" + std::string(kLockFileName);
    if (lock.state == ProductLockResult::State::Busy) {
      refusal = {"master folder lock", {"another run holds " + lockPath}};
      return false;
    }
    if (lock.state != ProductLockResult::State::Held) {
      throw UpdateError(FormatText(cp932::Text(texts::kLockNotCreated), {lockPath}));
    }
    masterFolderLocks_.push_back(std::move(lock.lock));
    heldMasterFolders_.push_back(folder);
  }
  return true;
}

// Those outside the product join the journal and the observation; inside
// it the product's journal covers them already.
void UpdateRun::CoverMasterFolders() {
  if (!journalOpen_) return;
  for (const MasterFolder& folder : heldMasterFolders_) {
    if (IsBelowHostFolder(folder.host, journalRoot_)) continue;
    if (!journal_->CoverFolder(folder.host)) {
      throw UpdateError(FormatText(cp932::Text(texts::kJournalUnwritable), {folder.windows}));
    }
    observedFiles_->ObserveAlso(folder.windows);
  }
}

}  // namespace tovrin
