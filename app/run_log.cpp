#include "app/run_log.hpp"

#include "app/unattended_run.hpp"
#include "platform/console/terminal_text.hpp"
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
    : output_(output), files_(files), header_(std::move(header)) {}

void RunLog::Write(const std::string& text) {
  for (const auto& line : header_) output_.WriteLine(line);
  header_.clear();
  output_.WriteLine(text);
}

void RunLog::ProductAccepted(const std::string& productFolder, int productNo) {
  Write("product " + Text(productFolder) + " accepted, product number " + std::to_string(productNo));
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

bool RunLog::FileChanging(const FileChange& change) {
  if (change.kind == FileChangeKind::Replaced || change.kind == FileChangeKind::Removed) {
    before_[change.path] = DigestOf(files_, change.path);
  }
  return true;
}

void RunLog::FileChanged(const FileChange& change) {
  const std::string path = Text(change.path);
  const auto found = before_.find(change.path);
  const std::optional<FileDigest> before = found == before_.end() ? std::nullopt : found->second;
  if (found != before_.end()) before_.erase(found);
  switch (change.kind) {
    case FileChangeKind::FolderCreated:
      Write("folder " + path + " created");
      return;
    case FileChangeKind::Removed:
      Write("file " + path + " removed: old " + Described(before));
      return;
    case FileChangeKind::Added:
    case FileChangeKind::Replaced:
      Write("file " + path + ": old " + Described(before) + ", new " +
            Described(DigestOf(files_, change.path)));
      return;
  }
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
  Write("result: exit status " + std::to_string(ExitStatusOf(outcome)) + ", " +
        OutcomeMeaning(outcome));
}

}  // namespace tovrin
