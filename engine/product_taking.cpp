#include "engine/product_taking.hpp"

#include "engine/leftover_temporaries.hpp"
#include "platform/path_text.hpp"

namespace tovrin {

TakenProduct TakeProduct(FileSystem& files, JournalFiles& store, const std::string& productFolder) {
  TakenProduct taken;
  ProductLockResult lock = files.LockProduct(productFolder);
  taken.lockState = lock.state;
  if (lock.state != ProductLockResult::State::Held) return taken;
  taken.lock = std::move(lock.lock);
  taken.leftoversNotRemoved =
      RemoveLeftoverTemporaries(files, path_text::FolderWithSeparator(productFolder));
  const auto root = files.Resolve(productFolder);
  if (!root) return taken;
  taken.root = *root;
  taken.recovered = RunJournal::RecoverKilledRun(store, *root);
  return taken;
}

}  // namespace tovrin
