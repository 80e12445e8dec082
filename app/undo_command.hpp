#pragma once
// tovrin --undo --dest PATH: takes back the last successful update of a
// product from the journal that run left in it.

#include <ostream>
#include <string>

#include "engine/run_events.hpp"
#include "platform/file_system.hpp"
#include "platform/journal_files.hpp"

namespace tovrin {

// Exit statuses of the undo.
enum UndoStatus : int {
  kUndoRestored = 0,
  kUndoLeftInPlace = 1,  // back, but for folders that now hold the user's files
  kUndoNothing = 2,
  kUndoNotRestored = 5,
  kUndoNotNow = 6,  // another run or a running program holds the product
};

// `destination`: the product folder as a CP932 Windows path. What it did
// goes to `out`, what it could not do to `err` (UTF-8); `events` hears why
// it would not start and what the restore could not put back.
int UndoLastUpdate(FileSystem& files, JournalFiles& store, const std::string& destination,
                   std::ostream& out, std::ostream& err, RunEvents& events = NoRunEvents());

}  // namespace tovrin
