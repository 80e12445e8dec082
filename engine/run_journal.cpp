#include "engine/run_journal.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <iterator>
#include <map>
#include <utility>

#include "engine/path_helpers.hpp"
#include "platform/product_lock.hpp"
#include "platform/temporary_name.hpp"

namespace tovrin {

namespace fs = std::filesystem;

namespace {

constexpr const char* kEntriesFile = "entries";
constexpr const char* kKeptFolder = "kept";
constexpr const char* kAppliedMark = "applied";
// The kept files a restore has begun to put back, one number a line, each
// written before its file moves: a kept file that is gone is then either
// back in the product or lost, and never taken for the one or the other.
constexpr const char* kRestoredList = "restored";
constexpr char kKeptRecord = 'K';    // K <number> <relative path>: old file kept as kept/<number>
constexpr char kAddedRecord = 'A';   // A <relative path>: a file that was not there
constexpr char kFolderRecord = 'D';  // D <relative path>: a folder that was not there
// O <number> <host folder>: a folder outside the product the run writes into
// (a master folder shared between products). Records of its files carry its
// number after their kind ("K@1 ..."); paths are relative to it.
constexpr char kOutsideFolderRecord = 'O';
constexpr char kFolderMark = '@';

fs::path JournalFolder(const fs::path& productRoot) {
  return productRoot / kBookkeepingFolderName / "journal";
}
fs::path RunFolder(const fs::path& productRoot) { return JournalFolder(productRoot) / "run"; }
fs::path LastFolder(const fs::path& productRoot) { return JournalFolder(productRoot) / "last"; }
// The journal a successful run replaces, set aside until the new one is in place.
fs::path RetiredFolder(const fs::path& productRoot) {
  return JournalFolder(productRoot) / "retired";
}
// Journals put back, each moved here whole before it is taken apart; never
// read, so one that cannot be removed yet stands in no run's way.
fs::path SpentFolder(const fs::path& productRoot) { return JournalFolder(productRoot) / "spent"; }
// Leftovers still held when more runs are put back; past this many the
// journal is taken apart where it is.
constexpr int kMaxSpent = 100;

// The journal holds the product's old files: a link planted in its place
// must never carry them, or what a restore reads, out of the product.
bool LinkPlantedInTheJournal(const fs::path& productRoot) {
  for (const fs::path& folder : {productRoot / kBookkeepingFolderName, JournalFolder(productRoot),
                                 RunFolder(productRoot), LastFolder(productRoot)}) {
    std::error_code error;
    if (fs::is_symlink(fs::symlink_status(folder, error))) return true;
  }
  return false;
}

// One record a line: line breaks and the escape character in names escaped.
std::string Escape(const std::string& name) {
  std::string escaped;
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || c == '%') {
      char hex[4];
      std::snprintf(hex, sizeof hex, "%%%02X", byte);
      escaped += hex;
    } else {
      escaped += c;
    }
  }
  return escaped;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string Unescape(std::string_view escaped) {
  std::string name;
  for (std::size_t i = 0; i < escaped.size(); ++i) {
    const int high = i + 2 < escaped.size() ? HexDigit(escaped[i + 1]) : -1;
    const int low = high >= 0 ? HexDigit(escaped[i + 2]) : -1;
    if (escaped[i] == '%' && low >= 0) {
      name += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      name += escaped[i];
    }
  }
  return name;
}

struct Record {
  char kind = kAddedRecord;
  std::string kept;
  fs::path relative;
  std::string folder;  // the number of an outside folder; empty: the product
};

struct JournalText {
  std::vector<Record> records;
  std::map<std::string, fs::path> outsideFolders;  // by number
};

// The word up to the next blank, taken off `rest`; empty when there is none.
std::string_view TakeWord(std::string_view& rest) {
  const auto space = rest.find(' ');
  if (space == std::string_view::npos) return {};
  const std::string_view word = rest.substr(0, space);
  rest.remove_prefix(space + 1);
  return word;
}

// The complete records, oldest first; a last line cut short by a crash was
// never acted on, since each change waits for its record. Nullopt when the
// records are there but cannot be read.
std::optional<JournalText> ReadRecords(const JournalFiles& store, const fs::path& folder) {
  JournalText journal;
  const EntryKind entries = store.KindOf(folder / kEntriesFile);
  if (entries == EntryKind::Absent) return journal;
  const auto text =
      entries == EntryKind::File ? store.ReadWhole(folder / kEntriesFile) : std::nullopt;
  if (!text) return std::nullopt;
  std::size_t start = 0;
  for (std::size_t end = text->find('\n'); end != std::string::npos;
       start = end + 1, end = text->find('\n', start)) {
    std::string_view rest(text->data() + start, end - start);
    const std::string_view kind = TakeWord(rest);
    if (kind.empty() || rest.empty()) continue;
    Record record{kind[0], {}, {}, {}};
    if (kind.size() > 2 && kind[1] == kFolderMark)
      record.folder = std::string(kind.substr(2));
    else if (kind.size() != 1)
      continue;
    if (record.kind == kOutsideFolderRecord || record.kind == kKeptRecord) {
      record.kept = std::string(TakeWord(rest));
      if (record.kept.empty()) continue;
    }
    record.relative = fs::path(Unescape(rest));
    if (record.kind == kOutsideFolderRecord) {
      journal.outsideFolders[record.kept] = record.relative;
      continue;
    }
    journal.records.push_back(std::move(record));
  }
  return journal;
}

// A journal is a file like any other in the product: a record naming a
// place outside the product, or a kept file outside the journal, is never
// acted on.
bool InsideItsFolders(const Record& record) {
  const auto outside = [](const fs::path& path) {
    return path.empty() || path.has_root_path() ||
           std::find(path.begin(), path.end(), "..") != path.end();
  };
  const auto numbered = [](const std::string& name) {
    return !name.empty() &&
           std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
  };
  // A NUL would cut the name short where the system reads it.
  const bool whole = record.relative.native().find('\0') == fs::path::string_type::npos;
  // In a master folder outside the product a run changes masters only.
  std::string extension = record.relative.extension().string();
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  const bool master =
      record.folder.empty() ||
      (std::next(record.relative.begin()) == record.relative.end() && extension == ".mst");
  return whole && master && !outside(record.relative) &&
         (record.kind != kKeptRecord || numbered(record.kept));
}

std::set<std::string> RestoredNumbers(const JournalFiles& store, const fs::path& folder) {
  std::set<std::string> numbers;
  const auto text = store.ReadWhole(folder / kRestoredList);
  if (!text) return numbers;
  std::size_t start = 0;
  for (std::size_t end = text->find('\n'); end != std::string::npos;
       start = end + 1, end = text->find('\n', start)) {
    numbers.insert(text->substr(start, end - start));
  }
  return numbers;
}

// The folder a record's path is relative to: the product, or an outside
// folder the journal named before the record (an absolute host path).
std::optional<fs::path> RootOf(const Record& record, const JournalText& journal,
                               const fs::path& productRoot) {
  if (record.folder.empty()) return productRoot;
  const auto named = journal.outsideFolders.find(record.folder);
  if (named == journal.outsideFolders.end() || !named->second.is_absolute() ||
      std::find(named->second.begin(), named->second.end(), "..") != named->second.end()) {
    return std::nullopt;
  }
  return named->second;
}

// A kept file goes back over the changed one; one that was never changed
// (its replacement was refused) counts as put back as it is.
bool PutBackKept(JournalFiles& store, const fs::path& folder, const Record& record,
                 const fs::path& target, const std::set<std::string>& restored) {
  const fs::path kept = folder / kKeptFolder / record.kept;
  const EntryKind kind = store.KindOf(kept);
  // Gone: put back by a restore that was stopped, or lost, which is a failure.
  if (kind == EntryKind::Absent) return restored.contains(record.kept);
  if (kind != EntryKind::File && kind != EntryKind::Other) return false;
  if (!store.AppendDurably(folder / kRestoredList, record.kept + "\n")) return false;
  if (store.MakeFolders(target.parent_path()) && store.MoveBack(kept, target) &&
      store.KindOf(target) == kind) {
    return true;
  }
  if (!store.Unchanged(kept, target)) return false;
  // The very file, held open by another program, cannot lose its kept name
  // yet: it goes with the journal.
  store.RemoveEntry(kept);
  return true;
}

// True when no spent journal is left; the journal folder goes too when that
// leaves it empty.
bool RemoveSpent(JournalFiles& store, const fs::path& productRoot) {
  if (!store.RemoveTree(SpentFolder(productRoot))) return false;
  store.RemoveEntry(JournalFolder(productRoot));
  return true;
}

// Every record is back. The journal is moved aside in one step before it is
// taken apart: a part left behind (the kept name of a held file) is then
// never read as a run to put back, nor found lost.
void ClearJournal(JournalFiles& store, const fs::path& folder, const fs::path& productRoot,
                  RestoreResult& result) {
  const fs::path spent = SpentFolder(productRoot);
  fs::path aside;
  for (int number = 1; aside.empty() && number <= kMaxSpent; ++number) {
    const fs::path candidate = spent / std::to_string(number);
    if (store.KindOf(candidate) == EntryKind::Absent) aside = candidate;
  }
  if (!aside.empty() && store.MakeFolders(spent) && store.MoveBack(folder, aside)) {
    if (!RemoveSpent(store, productRoot)) result.journalLeftOver = spent;
    return;
  }
  if (!store.RemoveTree(folder)) result.notRestored.push_back(folder);
}

// Newest first, so that a folder is empty again when its turn comes. Each
// step is checked against what the journal says the product held.
RestoreResult PutBack(JournalFiles& store, const fs::path& folder, const fs::path& productRoot) {
  RestoreResult result;
  auto journal = ReadRecords(store, folder);
  if (!journal) return RestoreResult{{folder / kEntriesFile}, {}, {}};
  for (const auto& [number, outside] : journal->outsideFolders) {
    if (outside.is_absolute()) store.AlsoConfine(outside);
  }
  const std::set<std::string> restored = RestoredNumbers(store, folder);
  auto& records = journal->records;
  std::reverse(records.begin(), records.end());
  for (const Record& record : records) {
    const auto root = RootOf(record, *journal, productRoot);
    // Outside the product a path is named whole.
    const fs::path named =
        root && !record.folder.empty() ? *root / record.relative : record.relative;
    if (!root || !InsideItsFolders(record)) {
      result.notRestored.push_back(named);
      continue;
    }
    const fs::path target = *root / record.relative;
    if (record.kind == kKeptRecord) {
      if (!PutBackKept(store, folder, record, target, restored)) {
        result.notRestored.push_back(named);
      }
    } else if (!store.RemoveEntry(target) || store.KindOf(target) != EntryKind::Absent) {
      // A folder the run made that the user has since saved files into
      // stays, with them.
      const bool kept = record.kind == kFolderRecord && store.KindOf(target) == EntryKind::Folder;
      (kept ? result.leftInPlace : result.notRestored).push_back(named);
    }
  }
  // What could not be put back stays journaled, to be tried again.
  if (result.notRestored.empty()) ClearJournal(store, folder, productRoot, result);
  return result;
}

// Nothing recorded: the run stopped before its first change.
bool HoldsNoRecords(const JournalFiles& store, const fs::path& folder) {
  const auto records = ReadRecords(store, folder);
  return records && records->records.empty();
}

}  // namespace

bool RunJournal::Begin(const fs::path& productRoot) {
  productRoot_ = productRoot.lexically_normal();
  folder_ = RunFolder(productRoot_);
  journaled_.clear();
  outsideFolders_.clear();
  keptCount_ = 0;
  store_.Confine(productRoot_);
  if (LinkPlantedInTheJournal(productRoot_)) return false;
  store_.RemoveTree(RetiredFolder(productRoot_));
  RemoveSpent(store_, productRoot_);
  if (store_.RemoveTree(folder_) && store_.MakeFolders(folder_ / kKeptFolder) &&
      store_.AppendDurably(folder_ / kEntriesFile, "")) {
    return true;
  }
  // Half begun, it would be taken for a killed run's at the next start.
  store_.RemoveTree(folder_);
  return false;
}

bool RunJournal::FileChanging(const FileChange& change) {
  std::string record;
  fs::path relative;
  if (!Prepare(change, record, relative)) return false;
  if (record.empty()) return true;
  if (!Commit(record, record.front() == kKeptRecord)) return false;
  journaled_.insert(relative);
  return true;
}

bool RunJournal::KeepAhead(const std::vector<std::string>& paths) {
  std::string records;
  std::vector<fs::path> names;
  bool keptFiles = false;
  for (const std::string& path : paths) {
    std::string record;
    fs::path relative;
    if (!Prepare({FileChangeKind::Replaced, path}, record, relative)) return false;
    if (record.empty()) continue;
    records += record;
    names.push_back(relative);
    keptFiles = keptFiles || record.front() == kKeptRecord;
  }
  if (records.empty()) return true;
  if (!Commit(records, keptFiles)) return false;
  journaled_.insert(names.begin(), names.end());
  return true;
}

bool RunJournal::CoverFolder(const fs::path& folder) {
  const fs::path normal = folder.lexically_normal();
  if (IsBelowHostFolder(normal, productRoot_) ||
      std::find(outsideFolders_.begin(), outsideFolders_.end(), normal) != outsideFolders_.end()) {
    return true;
  }
  const std::string number = std::to_string(outsideFolders_.size() + 1);
  const std::string record =
      std::string(1, kOutsideFolderRecord) + " " + number + " " + Escape(normal.string()) + "\n";
  if (!store_.AppendDurably(folder_ / kEntriesFile, record)) return false;
  outsideFolders_.push_back(normal);
  store_.AlsoConfine(normal);
  return true;
}

// The product first, then the outside folders; an empty kind suffix for the
// product, "@<number>" for an outside folder.
bool RunJournal::Relative(const fs::path& host, fs::path& relative, std::string& folderMark) const {
  if (IsBelowHostFolder(host, productRoot_)) {
    relative = host.lexically_relative(productRoot_);
    folderMark.clear();
    return true;
  }
  for (std::size_t i = 0; i < outsideFolders_.size(); ++i) {
    if (!IsBelowHostFolder(host, outsideFolders_[i])) continue;
    relative = host.lexically_relative(outsideFolders_[i]);
    folderMark = std::string(1, kFolderMark) + std::to_string(i + 1);
    return true;
  }
  return false;
}

bool RunJournal::Prepare(const FileChange& change, std::string& record, fs::path& journaledAs) {
  const auto host = files_.Resolve(change.path);
  if (!host) return false;
  journaledAs = host->lexically_normal();
  fs::path named;
  std::string folderMark;
  // The observer tells only of changes in the run's folders.
  if (!Relative(journaledAs, named, folderMark)) return true;
  // The program's own temporary files are removed by the step that made
  // them, or by the next start after a crash.
  if (temporary_name::IsTemporary(named.filename().string())) return true;
  // The first change of a name is the one to undo; later ones are covered.
  if (journaled_.contains(journaledAs)) return true;
  const EntryKind present = store_.KindOf(*host);
  // What cannot be looked at cannot be told apart from a new file.
  if (present == EntryKind::Unknown) return false;
  if (present == EntryKind::Absent) {
    const char kind = change.kind == FileChangeKind::FolderCreated ? kFolderRecord : kAddedRecord;
    record = std::string(1, kind) + folderMark + " " + Escape(named.string()) + "\n";
    return true;
  }
  if (change.kind == FileChangeKind::FolderCreated) return true;
  // A file changed in place shares its content with any link to it.
  return KeepOldFile(*host, named, folderMark, change.kind != FileChangeKind::Modified, record);
}

bool RunJournal::KeepOldFile(const fs::path& host, const fs::path& relative,
                             const std::string& folderMark, bool mayLink, std::string& record) {
  const std::string number = std::to_string(++keptCount_);
  const fs::path kept = folder_ / kKeptFolder / number;
  const LinkResult linked = mayLink ? store_.Link(host, kept) : LinkResult::Unsupported;
  if (linked == LinkResult::Failed) return false;
  if (linked == LinkResult::Unsupported && !store_.CopyWhole(host, kept)) return false;
  record = std::string(1, kKeptRecord) + folderMark + " " + number + " " +
           Escape(relative.string()) + "\n";
  return true;
}

bool RunJournal::Commit(const std::string& records, bool keptFiles) {
  if (keptFiles && !store_.FlushFolder(folder_ / kKeptFolder)) return false;
  return store_.AppendDurably(folder_ / kEntriesFile, records);
}

// The older journal is set aside whole before the new one takes its place,
// so that a fault midway never leaves a mix of the two. Marked applied, a
// journal left in "run" is finished being kept at the next start.
bool RunJournal::KeepAsLast() {
  if (!store_.AppendDurably(folder_ / kAppliedMark, "")) {
    // Unmarked, it would be taken for a killed run's and put back; the
    // older one would take back the wrong update.
    store_.RemoveTree(folder_);
    store_.RemoveTree(LastFolder(productRoot_));
    return false;
  }
  return ReplaceLast(store_, productRoot_);
}

bool RunJournal::ReplaceLast(JournalFiles& store, const fs::path& productRoot) {
  const fs::path last = LastFolder(productRoot);
  const fs::path retired = RetiredFolder(productRoot);
  if (!store.RemoveTree(retired)) return false;
  const EntryKind older = store.KindOf(last);
  if (older == EntryKind::Unknown) return false;
  if (older != EntryKind::Absent && !store.MoveBack(last, retired)) return false;
  if (!store.MoveBack(RunFolder(productRoot), last)) return false;
  // Taking the older one away may fail: it is tried again at the next run.
  store.RemoveTree(retired);
  return true;
}

RestoreResult RunJournal::Restore() { return PutBack(store_, folder_, productRoot_); }

std::optional<RestoreResult> RunJournal::RecoverKilledRun(JournalFiles& store,
                                                          const fs::path& productRoot) {
  const fs::path run = RunFolder(productRoot);
  store.Confine(productRoot);
  // A planted link is left for Begin to refuse.
  if (LinkPlantedInTheJournal(productRoot)) return std::nullopt;
  // A put-back run's leftover, released since; one still held is no run to recover.
  RemoveSpent(store, productRoot);
  if (store.KindOf(run) == EntryKind::Absent) return std::nullopt;
  // Killed after it succeeded, while its journal was being kept.
  if (store.KindOf(run / kAppliedMark) == EntryKind::File) {
    ReplaceLast(store, productRoot);
    return std::nullopt;
  }
  if (HoldsNoRecords(store, run) && store.RemoveTree(run)) return std::nullopt;
  return PutBack(store, run, productRoot);
}

std::optional<RestoreResult> RunJournal::UndoLast(JournalFiles& store,
                                                  const fs::path& productRoot) {
  const fs::path last = LastFolder(productRoot);
  store.Confine(productRoot);
  if (LinkPlantedInTheJournal(productRoot))
    return RestoreResult{{JournalFolder(productRoot)}, {}, {}};
  const EntryKind kind = store.KindOf(last);
  if (kind == EntryKind::Absent) return std::nullopt;
  // As a run under way, an undo that is stopped midway is finished at the next start.
  const fs::path run = RunFolder(productRoot);
  if (kind != EntryKind::Folder || store.KindOf(run) != EntryKind::Absent ||
      !store.MoveBack(last, run)) {
    return RestoreResult{{last}, {}, {}};
  }
  // Without its mark it is no longer taken for a successful run being kept.
  if (!store.RemoveEntry(run / kAppliedMark) || !store.FlushFolder(run)) {
    return RestoreResult{{run}, {}, {}};
  }
  return PutBack(store, run, productRoot);
}

}  // namespace tovrin
