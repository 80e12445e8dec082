#pragma once
// Taking a product before anything is done to it, the same for an update
// run and for --undo: its lock, held to the end; then, under the lock, the
// temporary files a killed run left (they would keep the folders it made
// from being taken away) and that run put back from its journal.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/run_journal.hpp"
#include "platform/file_system.hpp"
#include "platform/journal_files.hpp"

namespace tovrin {

struct TakenProduct {
  ProductLockResult::State lockState = ProductLockResult::State::Failed;
  std::unique_ptr<ProductLock> lock;              // while Held
  std::filesystem::path root;                     // the product's host folder
  std::vector<std::string> leftoversNotRemoved;  // Windows paths
  std::optional<RestoreResult> recovered;         // a killed run, put back
};

// Nothing is done past the lock unless it is Held.
TakenProduct TakeProduct(FileSystem& files, JournalFiles& store, const std::string& productFolder);

}  // namespace tovrin
