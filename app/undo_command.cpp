#include "app/undo_command.hpp"

#include "engine/leftover_temporaries.hpp"
#include "engine/path_helpers.hpp"
#include "engine/run_journal.hpp"
#include "platform/cp932.hpp"
#include "platform/visible_text.hpp"

namespace tovrin {

namespace {

// A CP932 path as the terminal may show it.
std::string Shown(const std::string& cp932) { return VisibleText(cp932::ToUtf8(cp932).value_or(cp932)); }

int ReportNotRestored(const std::filesystem::path& root, const RestoreResult& result,
                      std::ostream& err) {
  for (const auto& relative : result.notRestored) {
    err << "tovrin: could not put back " << VisibleText((root / relative).string()) << "\n";
  }
  for (const auto& relative : result.leftInPlace) {
    err << "tovrin: left in place, it holds files the update did not write: "
        << VisibleText((root / relative).string()) << "\n";
  }
  return result.Closed() ? kUndoLeftInPlace : kUndoNotRestored;
}

}  // namespace

int UndoLastUpdate(FileSystem& files, JournalFiles& store, const std::string& destination,
                   std::ostream& out, std::ostream& err) {
  const auto root = files.Resolve(destination);
  if (!root || files.Access(destination) != 0) {
    err << "tovrin: no product folder at " << Shown(destination) << "\n";
    return kUndoNothing;
  }
  // The same hold as an update run's: never undo under a running update.
  const ProductLockResult lock = files.LockProduct(destination);
  if (lock.state != ProductLockResult::State::Held) {
    err << "tovrin: " << Shown(destination)
        << (lock.state == ProductLockResult::State::Busy ? " is being updated by another run\n"
                                                         : ": its lock cannot be taken\n");
    return kUndoNotRestored;
  }
  // A run killed midway is put back first, as any start on the product does.
  for (const std::string& leftover : RemoveLeftoverTemporaries(files, FolderWithSeparator(destination))) {
    err << "tovrin: could not remove " << Shown(leftover) << "\n";
  }
  const auto recovered = RunJournal::RecoverKilledRun(store, *root);
  if (recovered) {
    if (!recovered->Closed()) return ReportNotRestored(*root, *recovered, err);
    if (!recovered->Complete()) ReportNotRestored(*root, *recovered, err);
    out << "tovrin: a run that was stopped midway was taken back first\n";
  }
  const auto undone = RunJournal::UndoLast(store, *root);
  if (!undone) {
    err << "tovrin: nothing to undo in " << Shown(destination) << "\n";
    return recovered && !recovered->Complete() ? kUndoLeftInPlace : kUndoNothing;
  }
  if (!undone->Complete()) return ReportNotRestored(*root, *undone, err);
  if (recovered && !recovered->Complete()) return kUndoLeftInPlace;
  out << "tovrin: " << Shown(destination) << " is back as it was before its last update\n";
  return kUndoRestored;
}

}  // namespace tovrin
