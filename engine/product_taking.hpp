#pragma once
// Taking a product before anything is done to it, the same for an update
// run and for --undo: first the programs running from it (Windows will not
// replace their open files, and under Wine they would go on with the old
// ones mapped); then its lock, held to the end; then, under the lock, the
// temporary files a killed run left (they would keep the folders it made
// from being taken away) and that run put back from its journal.

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/run_journal.hpp"
#include "platform/file_system.hpp"
#include "platform/journal_files.hpp"
#include "platform/programs_in_use.hpp"

namespace tovrin {

struct TakenProduct {
  std::vector<ProgramInUse> programsInUse;  // still running: nothing was done
  ProductLockResult::State lockState = ProductLockResult::State::Failed;
  std::unique_ptr<ProductLock> lock;             // while Held
  std::filesystem::path root;                    // the product's host folder
  std::vector<std::string> leftoversNotRemoved;  // Windows paths
  std::optional<RestoreResult> recovered;        // a killed run, put back

  // Held, and no program runs from it: the product is the caller's.
  bool Taken() const {
    return lockState == ProductLockResult::State::Held && programsInUse.empty();
  }
};

// Asked while programs run from the product: true to look again (they may
// have been closed), false to leave the product as it is.
using LookAgainAtPrograms = std::function<bool(const std::vector<ProgramInUse>&)>;

// Nothing is done past the programs or the lock unless it is Taken().
TakenProduct TakeProduct(FileSystem& files, JournalFiles& store, const std::string& productFolder,
                         const LookAgainAtPrograms& lookAgain);

}  // namespace tovrin
