#include "app/machine_report.hpp"

#include <algorithm>
#include <ctime>
#include <fstream>
#include <system_error>

#include <nlohmann/json.hpp>

#include "app/unattended_run.hpp"
#include "app/undo_command.hpp"
#include "platform/utf8_path.hpp"
#include "description/update_description.hpp"
#include "platform/cp932.hpp"
#include "platform/visible_text.hpp"
#include "platform/windows_types.hpp"

namespace tovrin {
namespace {

using json = nlohmann::ordered_json;

// The run's CP932 text as JSON wants it; bytes that are no CP932 are escaped.
std::string Utf8(const std::string& cp932) {
  return cp932::ToUtf8(cp932).value_or(VisibleText(cp932));
}

json Optional(const std::optional<std::string>& cp932) {
  return cp932 ? json(Utf8(*cp932)) : json(nullptr);
}

std::string IsoTime(std::chrono::system_clock::time_point time) {
  const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
  char text[32] = {};
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", std::gmtime(&seconds));
  return text;
}

json Digest(const std::optional<FileDigest>& digest) {
  if (!digest) return nullptr;
  return {{"size", digest->size}, {"sha256", digest->sha256}};
}

const char* ActionOf(NetFileChange::Kind kind) {
  switch (kind) {
    case NetFileChange::Kind::FolderAdded:
    case NetFileChange::Kind::Added:
      return "added";
    case NetFileChange::Kind::Replaced:
      return "replaced";
    case NetFileChange::Kind::Removed:
      break;
  }
  return "removed";
}

const char* ModeName(MachineReport::Mode mode) {
  switch (mode) {
    case MachineReport::Mode::Run:
      return "run";
    case MachineReport::Mode::DryRun:
      return "dry_run";
    case MachineReport::Mode::Undo:
      return "undo";
    case MachineReport::Mode::Wizard:
      break;
  }
  return "wizard";
}

}  // namespace

MachineReport::MachineReport(std::string path, Mode mode, FileSystem& files,
                             const std::string& mediumFolder,
                             const std::optional<std::string>& destination, std::ostream& errors)
    : path_(std::move(path)),
      mode_(mode),
      errors_(errors),
      started_(std::chrono::system_clock::now()),
      productFolder_(destination),
      pending_(files) {
  mediumFolder_ = mediumFolder;
  if (mode_ == Mode::Undo) return;
  UpdateDescription description;
  ReadInfoFile(files, mediumFolder + "info.txt", description);
  mediumTitle_ = description.m_strUninstallKey[0];
  mediumVersion_ = description.m_strVersion;
}

void MachineReport::SettleFiles() {
  for (auto& change : pending_.Settle()) files_.push_back(std::move(change));
}

void MachineReport::ProductAccepted(const std::string& productFolder, int productNo) {
  // The product may have changed behind the run's back before it was taken.
  pending_.Digests().Forget();
  productFolder_ = productFolder;
  productNo_ = productNo;
}

void MachineReport::ProductRefused(const Refusal& refusal) { refusal_ = refusal; }

void MachineReport::MediumVerified(int disk, const std::optional<std::string>& signer,
                                   bool trusted) {
  signatures_.push_back({disk, signer, trusted});
}

void MachineReport::RecordStarted(int, int, const std::string&, const std::string&) {
  SettleFiles();
}

bool MachineReport::FileChanging(const FileChange& change) {
  pending_.Note(change);
  return true;
}

void MachineReport::ContentBegun(const void* stream, const std::string& path, bool writing) {
  pending_.Digests().Begun(stream, path, writing);
}

void MachineReport::ContentStreamed(const void* stream, std::string_view bytes) {
  pending_.Digests().Streamed(stream, bytes);
}

void MachineReport::ContentEnded(const void* stream, bool whole) {
  pending_.Digests().Ended(stream, whole);
}

void MachineReport::ContentMoved(const std::string& from, const std::string& to) {
  pending_.Digests().Moved(from, to);
}

void MachineReport::SettingWritten(const std::string& file, const std::string& section,
                                   const std::string& key,
                                   const std::optional<std::string>& oldValue,
                                   const std::string& newValue) {
  SettleFiles();
  settings_.push_back({file, section, key, oldValue, newValue});
}

void MachineReport::MasterConverted(const std::string& path, int recordsRewritten) {
  SettleFiles();
  masters_.push_back({path, recordsRewritten});
}

// A failure's box comes before the restore: the changes it is about are
// settled while they are still in the product.
void MachineReport::BoxShown(const std::string& caption, const std::string& text, int answer) {
  SettleFiles();
  boxes_.push_back({caption, text, answer == IDOK});
}

void MachineReport::ProductRestored(const std::vector<std::string>& notRestored,
                                    const std::vector<std::string>& leftInPlace) {
  SettleFiles();
  if (!restore_) restore_.emplace();
  restore_->notRestored.insert(restore_->notRestored.end(), notRestored.begin(), notRestored.end());
  restore_->leftInPlace.insert(restore_->leftInPlace.end(), leftInPlace.begin(), leftInPlace.end());
}

void MachineReport::RunEnded(UpdateOutcome outcome) {
  SettleFiles();
  outcome_ = outcome;
}

std::string MachineReport::OutcomeWord(int exitStatus) const {
  if (exitStatus == kExitNotNow) return "busy";
  const bool restoreFailed = restore_ && !restore_->notRestored.empty();
  if (mode_ == Mode::Undo) {
    switch (exitStatus) {
      case kUndoRestored:
        return "applied";
      case kUndoLeftInPlace:
        return "applied_with_warnings";
      case kUndoNotRestored:
        return "failed_not_restored";
      default:
        return "refused";
    }
  }
  switch (outcome_.value_or(UpdateOutcome::NotRun)) {
    case UpdateOutcome::Applied:
      return files_.empty() && settings_.empty() && masters_.empty() ? "unchanged" : "applied";
    case UpdateOutcome::AppliedWithWarnings:
      return "applied_with_warnings";
    case UpdateOutcome::Refused:
      return "refused";
    case UpdateOutcome::Busy:
      return "busy";
    case UpdateOutcome::Cancelled:
      return restoreFailed ? "failed_not_restored" : "cancelled";
    case UpdateOutcome::NotRun:
      // A wizard closed before any run; a program ended otherwise has failed.
      return exitStatus == kExitFailed ? "failed_restored" : "cancelled";
    case UpdateOutcome::Stopped:
    case UpdateOutcome::Failed:
      break;
  }
  return restoreFailed ? "failed_not_restored" : "failed_restored";
}

// Whether the product is not as it was before: an update kept, or one that
// could not be put back.
bool MachineReport::Changed(const std::string& outcomeWord) const {
  return outcomeWord == "applied" || outcomeWord == "failed_not_restored" ||
         (outcomeWord == "applied_with_warnings" &&
          !(files_.empty() && settings_.empty() && masters_.empty()));
}

void MachineReport::Write(int exitStatus) {
  SettleFiles();
  const std::string outcome = OutcomeWord(exitStatus);
  json changes = json::array();
  for (const auto& change : files_) {
    const bool folder = change.kind == NetFileChange::Kind::FolderAdded;
    json entry = {{"type", folder ? "folder" : "file"},
                  {"action", ActionOf(change.kind)},
                  {"path", Utf8(change.path)}};
    if (!folder) {
      entry["old"] = Digest(change.before);
      entry["new"] = Digest(change.after);
    }
    changes.push_back(std::move(entry));
  }
  for (const auto& setting : settings_) {
    changes.push_back({{"type", "setting"},
                       {"file", Utf8(setting.file)},
                       {"section", Utf8(setting.section)},
                       {"key", Utf8(setting.key)},
                       {"old", Optional(setting.oldValue)},
                       {"new", Utf8(setting.newValue)}});
  }
  for (const auto& master : masters_) {
    changes.push_back(
        {{"type", "master"}, {"path", Utf8(master.path)}, {"records_rewritten", master.records}});
  }
  json boxes = json::array();
  for (const auto& box : boxes_) {
    boxes.push_back({{"caption", Utf8(box.caption)},
                     {"text", Utf8(box.text)},
                     {"answer", box.ok ? "OK" : "Cancel"}});
  }
  json refusal = nullptr;
  if (refusal_) {
    json findings = json::array();
    for (const auto& finding : refusal_->findings) findings.push_back(Utf8(finding));
    refusal = {{"check", Utf8(refusal_->check)}, {"findings", findings}};
  }
  json restore = nullptr;
  if (restore_) {
    const auto listed = [](const std::vector<std::string>& paths) {
      json list = json::array();
      for (const auto& path : paths) list.push_back(Utf8(path));
      return list;
    };
    json putBack = json::array();
    for (const auto& change : files_) {
      const auto& notRestored = restore_->notRestored;
      if (std::find(notRestored.begin(), notRestored.end(), change.path) == notRestored.end()) {
        putBack.push_back(Utf8(change.path));
      }
    }
    restore = {{"complete", restore_->notRestored.empty() && restore_->leftInPlace.empty()},
               {"put_back", putBack},
               {"not_restored", listed(restore_->notRestored)},
               {"left_in_place", listed(restore_->leftInPlace)}};
  }
  // Per disk looked at: the key that signed it, or null when it was not.
  json signatures = json::array();
  for (const auto& disk : signatures_) {
    signatures.push_back({{"disk", disk.disk},
                          {"signed_by", disk.signer ? json(*disk.signer) : json(nullptr)},
                          {"trusted", disk.trusted}});
  }
  json product = nullptr;
  if (productFolder_) {
    product = {{"folder", Utf8(*productFolder_)},
               {"number", productNo_ ? json(*productNo_) : json(nullptr)}};
  }
  const json report = {
      {"program", "tovrin"},
      {"version", TOVRIN_VERSION},
      {"mode", ModeName(mode_)},
      {"started", IsoTime(started_)},
      {"ended", IsoTime(std::chrono::system_clock::now())},
      {"medium", mode_ == Mode::Undo ? json(nullptr)
                                     : json{{"folder", Utf8(mediumFolder_)},
                                            {"title", Utf8(mediumTitle_)},
                                            {"version", Utf8(mediumVersion_)},
                                            {"signatures", signatures}}},
      {"product", product},
      {"exit_status", exitStatus},
      {"outcome", outcome},
      {"changed", Changed(outcome)},
      {"refusal", refusal},
      {"changes", changes},
      {"boxes", boxes},
      {"restore", restore},
  };

  // Beside the report, renamed over it once whole.
  const std::filesystem::path target = PathFromUtf8(path_);
  std::filesystem::path partial = target;
  partial += ".part";
  {
    std::ofstream out(partial, std::ios::binary | std::ios::trunc);
    out << report.dump(2, ' ', false, json::error_handler_t::replace) << "\n";
    out.close();
    if (!out) {
      std::error_code ignored;
      std::filesystem::remove(partial, ignored);
      errors_ << "tovrin: the report " << VisibleText(path_) << " cannot be written\n";
      return;
    }
  }
  std::error_code error;
  std::filesystem::rename(partial, target, error);
  if (!error) return;
  std::filesystem::remove(partial, error);
  errors_ << "tovrin: the report " << VisibleText(path_) << " cannot be written\n";
}

}  // namespace tovrin
