#include "app/run_log.hpp"

#include "app/unattended_run.hpp"
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
    : output_(output), files_(files), digests_(files), header_(std::move(header)) {}

void RunLog::Write(const std::string& text) {
  for (const auto& line : header_) output_.WriteLine(line);
  header_.clear();
  WriteFileChanges();
  output_.WriteLine(text);
}

void RunLog::WriteFileChanges() {
  for (const auto& change : pending_) {
    // As the disk spells it, whatever separators the run's text doubled.
    const auto host = files_.Resolve(change.path);
    const auto windowsPath = host ? files_.ToWindowsPath(*host) : std::nullopt;
    const std::string path = Text(windowsPath.value_or(change.path));
    if (change.isFolder) {
      output_.WriteLine("folder " + path + " created");
      continue;
    }
    const auto after = digests_.DigestOf(change.path);
    if (!after && !change.before) continue;
    if (after && change.before && after->sha256 == change.before->sha256) continue;
    if (!after) {
      output_.WriteLine("file " + path + " removed: old " + Described(change.before));
      continue;
    }
    output_.WriteLine("file " + path + ": old " + Described(change.before) + ", new " +
                      Described(after));
  }
  pending_.clear();
  pendingByKey_.clear();
}

void RunLog::ProductAccepted(const std::string& productFolder, int productNo) {
  digests_.Forget();
  Write("product " + Text(productFolder) + " accepted, product number " +
        std::to_string(productNo));
}

void RunLog::ProductRefused(const Refusal& refusal) {
  for (const auto& finding : refusal.findings) {
    Write("refused by the " + Text(refusal.check) + " check: " + Text(finding));
  }
}

void RunLog::RecordStarted(int index, int count, const std::string& source,
                           const std::string& targetFolder) {
  Write("record " + std::to_string(index) + " of " + std::to_string(count) + ": " + Text(source) +
        " into " + Text(targetFolder));
}

// The old content is known before the first change to the file, so that
// the log can name it when the step is over.
bool RunLog::FileChanging(const FileChange& change) {
  const auto [found, added] = pendingByKey_.try_emplace(digests_.KeyOf(change.path), pending_.size());
  if (added) {
    const bool isNew =
        change.kind == FileChangeKind::Added || change.kind == FileChangeKind::FolderCreated;
    pending_.push_back({change.path, change.kind == FileChangeKind::FolderCreated,
                        isNew ? std::nullopt : digests_.DigestOf(change.path)});
  }
  digests_.Changing(change);
  return true;
}

void RunLog::ContentBegun(const void* stream, const std::string& path, bool writing) {
  digests_.Begun(stream, path, writing);
}

void RunLog::ContentStreamed(const void* stream, std::string_view bytes) {
  digests_.Streamed(stream, bytes);
}

void RunLog::ContentEnded(const void* stream, bool whole) { digests_.Ended(stream, whole); }

void RunLog::ContentMoved(const std::string& from, const std::string& to) {
  digests_.Moved(from, to);
}

void RunLog::SettingWritten(const std::string& file, const std::string& section,
                            const std::string& key, const std::optional<std::string>& oldValue,
                            const std::string& newValue) {
  Write("setting " + Text(file) + " [" + Text(section) + "] " + Text(key) + ": " +
        (oldValue ? Quoted(*oldValue) : "absent") + " -> " + Quoted(newValue));
}

void RunLog::MasterConverted(const std::string& path, int recordsRewritten) {
  Write("master " + Text(path) + " converted: " + std::to_string(recordsRewritten) +
        " records rewritten");
}

void RunLog::BoxShown(const std::string& caption, const std::string& text, int answer) {
  Write("box " + Text(caption) + ": " + Text(text) + " -> " + (answer == IDOK ? "OK" : "Cancel"));
}

void RunLog::RunEnded(UpdateOutcome outcome) {
  const std::string result =
      "result: exit status " + std::to_string(ExitStatusOf(outcome)) + ", " + OutcomeMeaning(outcome);
  digests_.Forget();
  // Nothing else to tell: one line says who started the program and how it ended.
  if (outcome == UpdateOutcome::NotRun && !header_.empty()) {
    output_.WriteLine(header_.front() + "; " + result);
    header_.clear();
    return;
  }
  Write(result);
}

}  // namespace tovrin
