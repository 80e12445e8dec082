#pragma once
// The journal of an update run: before each change to the product it keeps
// the old file (a hard link to its old content, a copy only where links are
// impossible) or notes the name of what is added, on the disk before the
// change is made. A failed run is put back from it; a successful run's
// journal stays as the one --undo takes back, until the next successful run.
//
// It covers the folders outside the product that the run writes into (a
// master folder shared between products), their old files linked where
// they share the journal's file system and copied where they do not.
// It lives in the product's own bookkeeping folder, on the same file system
// as the files it keeps so that links work:
//   .tovrin/journal/run/    the run under way (entries, kept/N, applied)
//   .tovrin/journal/last/   the last successful run
//   .tovrin/journal/spent/  journals put back, set aside to be removed

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
// product folder, whole ones outside it): files that could not be put back,
// which stay journaled to be tried again, and folders the run made that now
// hold files of the user's, left in place with them.
struct RestoreResult {
  std::vector<std::filesystem::path> notRestored;
  std::vector<std::filesystem::path> leftInPlace;
  // The journal's own leftover that could not be removed yet (a host path;
  // empty: none), as the kept name of a file another program holds open.
  // The product is back all the same, and the next start removes it.
  std::filesystem::path journalLeftOver;
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
  // Journals from now on the changes in `folder` (a host path outside the
  // product: a master folder shared between products); false when that
  // could not be written.
  bool CoverFolder(const std::filesystem::path& folder);
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
  // `journaledAs` is the changed file's host path.
  bool Prepare(const FileChange& change, std::string& record, std::filesystem::path& journaledAs);
  // `host` relative to the product or to an outside folder, with the mark
  // of that folder; false when it lies in none of them.
  bool Relative(const std::filesystem::path& host, std::filesystem::path& relative,
                std::string& folderMark) const;
  bool KeepOldFile(const std::filesystem::path& host, const std::filesystem::path& relative,
                   const std::string& folderMark, bool mayLink, std::string& record);
  // Writes records and the kept files' names to the disk, before the changes.
  bool Commit(const std::string& records, bool keptFiles);
  // Puts the marked run journal in the place of the last one.
  static bool ReplaceLast(JournalFiles& store, const std::filesystem::path& productRoot);

  const FileSystem& files_;
  JournalFiles& store_;
  std::filesystem::path productRoot_;
  std::filesystem::path folder_;
  std::set<std::filesystem::path> journaled_;
  std::vector<std::filesystem::path> outsideFolders_;
  int keptCount_ = 0;
};

}  // namespace tovrin
