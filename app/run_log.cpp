#include "app/run_log.hpp"

#include "app/unattended_run.hpp"
#include "engine/medium_trust.hpp"
#include "hosts/console/terminal_text.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {
namespace {

// A CP932 text of the run as one line of the log.
std::string Text(const std::string& cp932) { return TerminalLine(cp932); }

std::string Quoted(const std::string& cp932) { return "\"" + Text(cp932) + "\""; }

std::string Described(const std::optional<FileDigest>& digest) {
  if (!digest) return "new";
  return std::to_string(digest->size) + " bytes sha256 " + digest->sha256;
}

}  // namespace

RunLog::RunLog(LogOutput& output, FileSystem& files, std::vector<std::string> header)
    : output_(output),
      changes_(files),
      header_(std::move(header)) {}

void RunLog::WriteHeaderAndChanges() {
  for (const auto& line : header_) output_.WriteLine(line);
  header_.clear();
  WriteFileChanges();
}

void RunLog::Write(const std::string& text) {
  WriteHeaderAndChanges();
  output_.WriteLine(text);
}

void RunLog::WriteFileChanges() {
  for (const auto& change : changes_.Settle()) {
    const std::string path = Text(change.path);
    changed_ = true;
    switch (change.kind) {
      case NetFileChange::Kind::FolderAdded:
        output_.WriteLine("folder " + path + " created");
        break;
      case NetFileChange::Kind::Removed:
        output_.WriteLine("file " + path + " removed: old " + Described(change.before));
        break;
      case NetFileChange::Kind::Added:
      case NetFileChange::Kind::Replaced:
        output_.WriteLine("file " + path + ": old " + Described(change.before) + ", new " +
                          Described(change.after));
        break;
    }
  }
}

void RunLog::ProductAccepted(const std::string& productFolder, int productNo) {
  changes_.Digests().Forget();
  Write("product " + Text(productFolder) + " accepted, product number " +
        std::to_string(productNo));
}

void RunLog::ProductRefused(const Refusal& refusal) {
  for (const auto& finding : refusal.findings) {
    Write("refused by the " + Text(refusal.check) + " check: " + Text(finding));
  }
}

void RunLog::MediumVerified(int disk, const std::optional<std::string>& signer, bool trusted) {
  Write("medium disk " + std::to_string(disk) + ": " + SignatureFinding(signer, trusted));
}

void RunLog::RecordStarted(int index, int count, const std::string& source,
                           const std::string& targetFolder) {
  Write("record " + std::to_string(index) + " of " + std::to_string(count) + ": " + Text(source) +
        " into " + Text(targetFolder));
}

bool RunLog::FileChanging(const FileChange& change) {
  changes_.Note(change);
  return true;
}

void RunLog::ContentBegun(const void* stream, const std::string& path, bool writing) {
  changes_.Digests().Begun(stream, path, writing);
}

void RunLog::ContentStreamed(const void* stream, std::string_view bytes) {
  changes_.Digests().Streamed(stream, bytes);
}

void RunLog::ContentEnded(const void* stream, bool whole) {
  changes_.Digests().Ended(stream, whole);
}

void RunLog::ContentMoved(const std::string& from, const std::string& to) {
  changes_.Digests().Moved(from, to);
}

void RunLog::SettingWritten(const std::string& file, const std::string& section,
                            const std::string& key, const std::optional<std::string>& oldValue,
                            const std::string& newValue) {
  changed_ = true;
  Write("setting " + Text(file) + " [" + Text(section) + "] " + Text(key) + ": " +
        (oldValue ? Quoted(*oldValue) : "absent") + " -> " + Quoted(newValue));
}

void RunLog::MasterConverted(const std::string& path, int recordsRewritten) {
  changed_ = true;
  Write("master " + Text(path) + " converted: " + std::to_string(recordsRewritten) +
        " records rewritten");
}

void RunLog::BoxShown(const std::string& caption, const std::string& text, int answer) {
  Write("box " + Text(caption) + ": " + Text(text) + " -> " + (answer == IDOK ? "OK" : "Cancel"));
}

void RunLog::ProductRestored(const std::vector<std::string>& notRestored,
                             const std::vector<std::string>& leftInPlace) {
  WriteHeaderAndChanges();  // what the run changed before it was put back
  if (!notRestored.empty()) {
    changed_ = true;
    std::string paths;
    for (const auto& path : notRestored) paths += (paths.empty() ? "" : ", ") + Text(path);
    Write("the product could not be put back whole; not put back: " + paths);
    return;
  }
  // What the lines above told as changed is undone: the result says so.
  putBack_ = putBack_ || changed_;
  changed_ = false;
  Write("the product was put back as it was");
  for (const auto& folder : leftInPlace) {
    Write("folder " + Text(folder) + " left in place: it holds files the update did not bring");
  }
}

void RunLog::JournalLeftOver(const std::string& folder) {
  Write("the product is back; the journal's leftover in " + Text(folder) +
        " could not be removed yet (a file in it is held open) and will be at the next start");
}

void RunLog::RunEnded(UpdateOutcome outcome) {
  const std::string result = "result: exit status " + std::to_string(ExitStatusOf(outcome)) + ", " +
                             OutcomeMeaning(outcome);
  changes_.Digests().Forget();
  // Nothing else to tell: one line says who started the program and how it ended.
  if (outcome == UpdateOutcome::NotRun && !header_.empty()) {
    output_.WriteLine(header_.front() + "; " + result);
    header_.clear();
    return;
  }
  // The last step's changes first: they decide whether anything changed.
  WriteHeaderAndChanges();
  output_.WriteLine(result + (changed_   ? "; the product was changed"
                              : putBack_ ? "; the product was put back as it was"
                                         : "; nothing changed"));
}

}  // namespace tovrin
