#include "engine/product_taking.hpp"

#include "engine/leftover_temporaries.hpp"
#include "platform/path_text.hpp"

namespace tovrin {

TakenProduct TakeProduct(FileSystem& files, JournalFiles& store, const std::string& productFolder,
                         const LookAgainAtPrograms& lookAgain) {
  TakenProduct taken;
  const auto root = files.Resolve(productFolder);
  // Before the lock, whose bookkeeping folder would already change the
  // product a refused run must leave as it was.
  if (root) {
    do {
      taken.programsInUse = ProgramsUsingFolder(*root);
    } while (!taken.programsInUse.empty() && lookAgain(taken.programsInUse));
    if (!taken.programsInUse.empty()) return taken;
  }
  ProductLockResult lock = files.LockProduct(productFolder);
  taken.lockState = lock.state;
  if (lock.state != ProductLockResult::State::Held) return taken;
  taken.lock = std::move(lock.lock);
  taken.leftoversNotRemoved =
      RemoveLeftoverTemporaries(files, path_text::FolderWithSeparator(productFolder));
  if (!root) return taken;
  taken.root = *root;
  taken.recovered = RunJournal::RecoverKilledRun(store, *root);
  return taken;
}

}  // namespace tovrin
