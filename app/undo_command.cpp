#include "app/undo_command.hpp"

#include "engine/leftover_temporaries.hpp"
#include "engine/path_helpers.hpp"
#include "engine/run_journal.hpp"
#include "platform/cp932.hpp"
#include "platform/programs_in_use.hpp"
#include "platform/visible_text.hpp"

namespace tovrin {

namespace {

// A CP932 path as the terminal may show it.
std::string Shown(const std::string& cp932) { return VisibleText(cp932::ToUtf8(cp932).value_or(cp932)); }

// Tells the listener too, whether the restore was complete or not.
int ReportRestore(const FileSystem& files, const std::filesystem::path& root,
                  const RestoreResult& result, std::ostream& err, RunEvents& events) {
  std::vector<std::string> notRestored;
  for (const auto& relative : result.notRestored) {
    err << "tovrin: could not put back " << VisibleText((root / relative).string()) << "\n";
    notRestored.push_back(files.ToWindowsPath(root / relative).value_or(relative.string()));
  }
  events.ProductRestored(notRestored);
  return notRestored.empty() ? kUndoRestored : kUndoNotRestored;
}

int Refuse(RunEvents& events, const char* check, const std::string& finding, int status) {
  events.ProductRefused({check, {finding}});
  return status;
}

}  // namespace

int UndoLastUpdate(FileSystem& files, JournalFiles& store, const std::string& destination,
                   std::ostream& out, std::ostream& err, RunEvents& events) {
  const auto root = files.Resolve(destination);
  if (!root || files.Access(destination) != 0) {
    err << "tovrin: no product folder at " << Shown(destination) << "\n";
    return Refuse(events, "product folder", "no product folder at " + destination, kUndoNothing);
  }
  // The same hold as an update run's: never undo under a running update.
  const ProductLockResult lock = files.LockProduct(destination);
  if (lock.state == ProductLockResult::State::Busy) {
    err << "tovrin: " << Shown(destination) << " is being updated by another run\n";
    return Refuse(events, "product lock", "another run holds " + destination, kUndoNotNow);
  }
  if (lock.state != ProductLockResult::State::Held) {
    err << "tovrin: " << Shown(destination) << ": its lock cannot be taken\n";
    return kUndoNotRestored;
  }
  // Files a running program holds could not all be put back.
  const auto programs = ProgramsUsingFolder(*root);
  if (!programs.empty()) {
    Refusal refusal{"programs in use", {}};
    for (const auto& program : programs) {
      refusal.findings.push_back(program.name + " (" + std::to_string(program.processId) +
                                 ") runs from " + destination);
      err << "tovrin: " << Shown(refusal.findings.back()) << "\n";
    }
    events.ProductRefused(refusal);
    return kUndoNotNow;
  }
  // A run killed midway is put back first, as any start on the product does.
  for (const std::string& leftover : RemoveLeftoverTemporaries(files, FolderWithSeparator(destination))) {
    err << "tovrin: could not remove " << Shown(leftover) << "\n";
  }
  if (const auto recovered = RunJournal::RecoverKilledRun(store, *root)) {
    if (!recovered->Complete()) return ReportRestore(files, *root, *recovered, err, events);
    out << "tovrin: a run that was stopped midway was taken back first\n";
  }
  const auto undone = RunJournal::UndoLast(store, *root);
  if (!undone) {
    err << "tovrin: nothing to undo in " << Shown(destination) << "\n";
    return Refuse(events, "journal", "nothing to undo in " + destination, kUndoNothing);
  }
  if (ReportRestore(files, *root, *undone, err, events) != kUndoRestored) return kUndoNotRestored;
  out << "tovrin: " << Shown(destination) << " is back as it was before its last update\n";
  return kUndoRestored;
}

}  // namespace tovrin
