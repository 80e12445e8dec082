#include "app/dry_run_report.hpp"

#include <algorithm>
#include <sstream>

#include "app/unattended_run.hpp"
#include "engine/medium_trust.hpp"
#include "hosts/console/terminal_text.hpp"
#include "platform/path_text.hpp"

namespace tovrin {
namespace {

std::string Text(const std::string& cp932) { return TerminalLine(cp932); }

bool Contains(const std::vector<std::string>& keys, const std::string& key) {
  return std::find(keys.begin(), keys.end(), key) != keys.end();
}

}  // namespace

std::string DryRunReport::HostKey(const std::string& path) const {
  const auto host = files_.Resolve(path);
  return host ? host->lexically_normal().string() : path;
}

void DryRunReport::SettingWritten(const std::string& file, const std::string& section,
                                  const std::string& key,
                                  const std::optional<std::string>& oldValue,
                                  const std::string& newValue) {
  settingFiles_.push_back(HostKey(file));
  if (oldValue == newValue) return;
  settings_.push_back("  setting " + Text(file) + " [" + Text(section) + "] " + Text(key) + ": " +
                      (oldValue ? "\"" + Text(*oldValue) + "\"" : "absent") + " → \"" +
                      Text(newValue) + "\"");
}

void DryRunReport::MasterConverted(const std::string& path, int recordsRewritten) {
  const std::size_t separator = path_text::LastSeparator(path);
  MasterFolder& folder = masterFolders_[path.substr(0, separator + 1)];
  folder.files.insert(path.substr(separator + 1));
  folder.records += recordsRewritten;
  masterFiles_.push_back(HostKey(path));
}

void DryRunReport::PrintFiles(std::ostream& out) const {
  for (const auto& change : files_.Changes()) {
    const std::string key = HostKey(change.path);
    if (Contains(settingFiles_, key) || Contains(masterFiles_, key)) continue;
    const std::string path = Text(path_text::SingleSeparators(change.path));
    if (change.isFolder) {
      out << "  add folder " << path << "\n";
    } else if (change.removed) {
      out << "  remove " << path << "\n";
    } else {
      out << (change.existed ? "  replace " : "  add ") << path << " (" << change.size
          << " bytes)\n";
    }
  }
}

void DryRunReport::MediumVerified(int disk, const std::optional<std::string>& signer,
                                  bool trusted) {
  // Told with the result, after the boxes the run showed.
  signatures_.push_back("dry run: disk " + std::to_string(disk) + " of the medium is " +
                        SignatureFinding(signer, trusted));
}

void DryRunReport::RunEnded(UpdateOutcome outcome) {
  for (const auto& line : signatures_) out_ << line << "\n";
  if (refusal_) {
    out_ << (outcome == UpdateOutcome::Busy ? "dry run: not now, try again later: " : "dry run: ")
         << "the update would be refused by the " << Text(refusal_->check) << " check:\n";
    for (const auto& finding : refusal_->findings) out_ << "  " << Text(finding) << "\n";
    return;
  }
  std::ostringstream changes;
  PrintFiles(changes);
  for (const auto& line : settings_) changes << line << "\n";
  for (const auto& [folder, master] : masterFolders_) {
    changes << "  convert " << Text(folder) << ": " << master.files.size() << " master files, "
            << master.records << " records rewritten\n";
  }
  if (changes.str().empty()) {
    out_ << "dry run: nothing would change; the run would end " << OutcomeMeaning(outcome) << "\n";
  } else {
    out_ << "dry run: nothing was changed; the run would end " << OutcomeMeaning(outcome)
         << ", with these changes:\n"
         << changes.str();
  }
  out_ << std::flush;
}

}  // namespace tovrin
