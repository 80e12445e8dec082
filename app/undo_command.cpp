#include "app/undo_command.hpp"

#include "engine/product_taking.hpp"
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
  if (!root || files.Exists(destination) != Presence::Present) {
    err << "tovrin: no product folder at " << Shown(destination) << "\n";
    return kUndoNothing;
  }
  // Taken as an update run takes it: never undo under a running update,
  // and a run killed midway is put back first.
  const TakenProduct taken = TakeProduct(files, store, destination);
  if (taken.lockState != ProductLockResult::State::Held) {
    err << "tovrin: " << Shown(destination)
        << (taken.lockState == ProductLockResult::State::Busy ? " is being updated by another run\n"
                                                              : ": its lock cannot be taken\n");
    return kUndoNotRestored;
  }
  for (const std::string& leftover : taken.leftoversNotRemoved) {
    err << "tovrin: could not remove " << Shown(leftover) << "\n";
  }
  if (taken.recovered) {
    if (!taken.recovered->Closed()) return ReportNotRestored(*root, *taken.recovered, err);
    if (!taken.recovered->Complete()) ReportNotRestored(*root, *taken.recovered, err);
    out << "tovrin: a run that was stopped midway was taken back first\n";
  }
  const auto undone = RunJournal::UndoLast(store, *root);
  if (!undone) {
    err << "tovrin: nothing to undo in " << Shown(destination) << "\n";
    return taken.recovered && !taken.recovered->Complete() ? kUndoLeftInPlace : kUndoNothing;
  }
  if (!undone->Complete()) return ReportNotRestored(*root, *undone, err);
  if (taken.recovered && !taken.recovered->Complete()) return kUndoLeftInPlace;
  out << "tovrin: " << Shown(destination) << " is back as it was before its last update\n";
  return kUndoRestored;
}

}  // namespace tovrin
