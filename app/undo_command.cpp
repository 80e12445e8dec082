#include "app/undo_command.hpp"

#include "engine/product_taking.hpp"
#include "engine/run_journal.hpp"
#include "platform/cp932.hpp"
#include "platform/path_text.hpp"
#include "platform/visible_text.hpp"

namespace tovrin {

namespace {

// A CP932 path as the terminal may show it.
std::string Shown(const std::string& cp932) {
  return VisibleText(cp932::ToUtf8(cp932).value_or(cp932));
}

std::vector<std::string> WindowsPaths(const FileSystem& files, const std::filesystem::path& root,
                                      const std::vector<std::filesystem::path>& relatives) {
  std::vector<std::string> paths;
  for (const auto& relative : relatives) {
    paths.push_back(files.ToWindowsPath(root / relative).value_or(relative.string()));
  }
  return paths;
}

// Says what a restore could not put back or left in place, and tells the
// listener, whole or not.
int ReportRestore(const FileSystem& files, const std::filesystem::path& root,
                  const RestoreResult& result, std::ostream& err, RunEvents& events) {
  for (const auto& relative : result.notRestored) {
    err << "tovrin: could not put back " << VisibleText((root / relative).string()) << "\n";
  }
  for (const auto& relative : result.leftInPlace) {
    err << "tovrin: left in place, it holds files the update did not write: "
        << VisibleText((root / relative).string()) << "\n";
  }
  events.ProductRestored(WindowsPaths(files, root, result.notRestored),
                         WindowsPaths(files, root, result.leftInPlace));
  if (!result.journalLeftOver.empty()) {
    err << "tovrin: the journal's leftover in " << VisibleText(result.journalLeftOver.string())
        << " could not be removed yet; the next start removes it\n";
    events.JournalLeftOver(WindowsPaths(files, root, {result.journalLeftOver}).front());
  }
  if (result.Complete()) return kUndoRestored;
  return result.Closed() ? kUndoLeftInPlace : kUndoNotRestored;
}

int Refuse(RunEvents& events, const char* check, std::vector<std::string> findings, int status) {
  events.ProductRefused({check, std::move(findings)});
  return status;
}

}  // namespace

int UndoLastUpdate(FileSystem& files, JournalFiles& store, const std::string& destination,
                   std::ostream& out, std::ostream& err, RunEvents& events) {
  const auto root = files.Resolve(destination);
  if (!root || files.Exists(destination) != Presence::Present) {
    err << "tovrin: no product folder at " << Shown(destination) << "\n";
    return Refuse(events, "product folder", {"no product folder at " + destination}, kUndoNothing);
  }
  // Taken as an update run takes it: never undo under a running update or
  // a running program, and a run killed midway is put back first. Nobody
  // is asked to close the programs: the undo has no one to ask.
  const TakenProduct taken = TakeProduct(files, store, destination,
                                         [](const std::vector<ProgramInUse>&) { return false; });
  if (!taken.programsInUse.empty()) {
    std::vector<std::string> findings;
    for (const auto& program : taken.programsInUse) {
      findings.push_back(NameWithProcessId(program) + " runs from " +
                         path_text::SingleSeparators(destination));
      err << "tovrin: " << Shown(findings.back()) << "\n";
    }
    return Refuse(events, "programs in use", std::move(findings), kUndoNotNow);
  }
  if (taken.lockState == ProductLockResult::State::Busy) {
    err << "tovrin: " << Shown(destination) << " is being updated by another run\n";
    return Refuse(events, "product lock", {"another run holds " + destination}, kUndoNotNow);
  }
  if (taken.lockState != ProductLockResult::State::Held) {
    err << "tovrin: " << Shown(destination) << ": its lock cannot be taken\n";
    return kUndoNotRestored;
  }
  for (const std::string& leftover : taken.leftoversNotRemoved) {
    err << "tovrin: could not remove " << Shown(leftover) << "\n";
  }
  if (taken.recovered) {
    const int recovered = ReportRestore(files, *root, *taken.recovered, err, events);
    if (recovered == kUndoNotRestored) return kUndoNotRestored;
    out << "tovrin: a run that was stopped midway was taken back first\n";
  }
  const bool recoveredInPart = taken.recovered && !taken.recovered->Complete();
  const auto undone = RunJournal::UndoLast(store, *root);
  if (!undone) {
    err << "tovrin: nothing to undo in " << Shown(destination) << "\n";
    if (recoveredInPart) return kUndoLeftInPlace;
    return Refuse(events, "journal", {"nothing to undo in " + destination}, kUndoNothing);
  }
  const int status = ReportRestore(files, *root, *undone, err, events);
  if (status != kUndoRestored) return status;
  if (recoveredInPart) return kUndoLeftInPlace;
  out << "tovrin: " << Shown(destination) << " is back as it was before its last update\n";
  return kUndoRestored;
}

}  // namespace tovrin
