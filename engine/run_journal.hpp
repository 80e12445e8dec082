#pragma once
// The journal of an update run: before each change to the product it keeps
// the old file (a hard link to its old content, a copy only where links are
// impossible) or notes the name of what is added, on the disk before the
// change is made. A failed run is put back from it; a successful run's
// journal stays as the one --undo takes back, until the next successful run.
//
// It lives in the product's own bookkeeping folder, on the same file system
// as the files it keeps so that links work:
//   .tovrin/journal/run/    the run under way (entries, kept/N, applied)
//   .tovrin/journal/last/   the last successful run

#include <filesystem>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include "engine/run_events.hpp"
#include "platform/file_system.hpp"
#include "platform/journal_files.hpp"

namespace tovrin {

// What putting a product back left undone (host paths relative to the
// product folder): files that could not be put back, which stay journaled
// to be tried again, and folders the run made that now hold files of the
// user's, left in place with them.
struct RestoreResult {
  std::vector<std::filesystem::path> notRestored;
  std::vector<std::filesystem::path> leftInPlace;
  // The product is exactly as the journal says it was.
  bool Complete() const { return notRestored.empty() && leftInPlace.empty(); }
  // Nothing is left to try again: the journal is closed.
  bool Closed() const { return notRestored.empty(); }
};

class RunJournal : public RunEvents {
 public:
  RunJournal(const FileSystem& files, JournalFiles& store) : files_(files), store_(store) {}

  // Starts an empty journal for a run on the product folder `productRoot`
  // (a host path); false when it cannot be written.
  bool Begin(const std::filesystem::path& productRoot);
  // Keeps the old file or notes the new name; false (the change must not
  // happen) when that could not be written to the disk.
  bool FileChanging(const FileChange& change) override;
  // Journals ahead the files (Windows paths) a record is about to write,
  // with one flush for them all rather than one each.
  bool KeepAhead(const std::vector<std::string>& paths);
  // The run succeeded: its journal replaces the last successful one; false
  // when it could not, and --undo will not find it.
  bool KeepAsLast();
  // The run failed: puts the product back and removes the journal.
  RestoreResult Restore();

  // A journal of a run that was killed, put back; nullopt when there was none.
  static std::optional<RestoreResult> RecoverKilledRun(JournalFiles& store,
                                                       const std::filesystem::path& productRoot);
  // Takes back the last successful run; nullopt when there is none.
  static std::optional<RestoreResult> UndoLast(JournalFiles& store,
                                               const std::filesystem::path& productRoot);

 private:
  // The record that journals `change` (nullopt: nothing to journal), with
  // the old file kept where it has one; false when it could not be kept.
  bool Prepare(const FileChange& change, std::string& record, std::filesystem::path& relative);
  bool KeepOldFile(const std::filesystem::path& host, const std::filesystem::path& relative,
                   bool mayLink, std::string& record);
  // Writes records and the kept files' names to the disk, before the changes.
  bool Commit(const std::string& records, bool keptFiles);
  // Puts the marked run journal in the place of the last one.
  static bool ReplaceLast(JournalFiles& store, const std::filesystem::path& productRoot);

  const FileSystem& files_;
  JournalFiles& store_;
  std::filesystem::path productRoot_;
  std::filesystem::path folder_;
  std::set<std::filesystem::path> journaled_;
  int keptCount_ = 0;
};

}  // namespace tovrin
