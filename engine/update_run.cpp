#include "engine/update_run.hpp"

#include <algorithm>
#include <exception>
#include <iterator>
#include <string>

#include "engine/path_helpers.hpp"
#include "engine/product_checks.hpp"
#include "engine/product_taking.hpp"
#include "engine/text_format.hpp"
#include "engine/update_error.hpp"
#include "platform/cp932.hpp"
#include "platform/path_text.hpp"
#include "platform/user_interface.hpp"
#include "resources/messages.hpp"

namespace tovrin {

namespace {

constexpr const char* kSearchSettingsFile = "NULL";
constexpr const char* kVelsorSettingsFile = "velsor1.ini";
constexpr const char* kTremickSettingsFile = "tremick1.ini";

// Where a settings file was looked for, in the folder text as typed.
std::string SettingsFileMissing(const FileSystem& files, const std::string& folder,
                                const std::string& name) {
  std::string finding =
      name + " was looked for in " + path_text::SingleSeparators(folder) + " and is not there";
  if (files.Exists(folder) != Presence::Present) finding += " (no such folder)";
  return finding;
}

// A library's reason is UTF-8 (or plain ASCII); the boxes take CP932. What
// does not convert is shown as its ASCII part rather than not at all.
std::string ReasonText(const std::exception& error) {
  const std::string utf8 = error.what();
  if (auto converted = cp932::FromUtf8(utf8)) return *converted;
  std::string ascii;
  std::copy_if(utf8.begin(), utf8.end(), std::back_inserter(ascii),
               [](char byte) { return byte >= 0x20 && byte < 0x7F; });
  return ascii;
}

// The product's changes go to the run's listeners while the run is in it.
class ProductObservation {
 public:
  ProductObservation(ObservedFileSystem* files, const std::string& productFolder,
                     RunEvents& listener)
      : files_(files) {
    if (files_) files_->Observe(productFolder, listener);
  }
  ~ProductObservation() {
    if (files_) files_->StopObserving();
  }
  ProductObservation(const ProductObservation&) = delete;
  ProductObservation& operator=(const ProductObservation&) = delete;

 private:
  ObservedFileSystem* files_;
};

}  // namespace

UpdateRun::UpdateRun(UpdateDescription& description, Platform& platform, ArchiveLibrary& archives,
                     WindowHandle owner, RunEvents& events)
    : description_(description),
      platform_(platform),
      archives_(archives),
      owner_(owner) {
  listeners_.Add(events);
  if (!description_.m_strIniNameAsGiven) {
    description_.m_strIniNameAsGiven = description_.m_strIniName;
  }
}

int UpdateRun::RunUpdate() {
  int result = 0;
  {
    WaitCursor cursor(platform_.ui);
    result = RunGuarded();
    // Temporaries of archives never put in place go before anything is put back.
    for (auto& staged : staged_) staged.reset();
    // The restore, like the run, happens under the product lock.
    CloseJournal();
    masterFolderLocks_.clear();
    heldMasterFolders_.clear();
    productLock_.reset();
  }
  listeners_.RunEnded(outcome_);
  return result;
}

int UpdateRun::RunGuarded() {
  try {
    return RunChecked();
  } catch (const UpdateError& error) {
    return EndWithError(error.what());
  } catch (const std::exception& error) {
    return EndWithError(ReasonText(error));
  } catch (...) {
    return EndWithError(cp932::Text(texts::kUnknownError));
  }
}

int UpdateRun::RunChecked() {
  outcome_ = UpdateOutcome::NotRun;
  settingsWritten_ = true;
  recordPlanned_.fill(false);
  description_.m_strIniName = *description_.m_strIniNameAsGiven;
  // Without info.txt there is no update: applying its empty description would
  // still write the closing settings and report success.
  if (description_.m_bInfoNotRead) {
    const Refusal refusal{"update description (info.txt)", {"info.txt could not be opened"}};
    return Refuse(refusal, cp932::Text(texts::kInfoFileNotRead), 1);
  }
  if (description_.m_nInvalidLine != 0) {
    const auto line = std::to_string(description_.m_nInvalidLine);
    const Refusal refusal{"update description (info.txt)",
                          {"line " + line + " is not a record of four fields, or a 101st record"}};
    return Refuse(refusal, FormatText(cp932::Text(texts::kInvalidDescriptionLine), {line}), 1);
  }
  Refusal refusal;
  if (FindSettingsFile(refusal) != 1) {
    return Refuse(refusal, cp932::Text(texts::kInstallFolderWrong), 0);
  }
  // Left alone while programs run from it; else held to the end of the
  // run, its restore included: two runs on one product would mix masters,
  // lose settings and remove each other's temporary files.
  TakenProduct taken = TakeProduct(
      platform_.files, JournalStore(), productFolder_,
      [this](const std::vector<ProgramInUse>& programs) { return AskToClose(programs); });
  const std::string lockPath = path_text::FolderWithSeparator(productFolder_) +
                               std::string(kBookkeepingFolderName) + "\\" +
                               std::string(kLockFileName);
  if (!taken.programsInUse.empty()) {
    Refusal inUse{"programs in use", {}};
    for (const auto& program : taken.programsInUse) {
      inUse.findings.push_back(NameWithProcessId(program) + " runs from " +
                               path_text::SingleSeparators(productFolder_));
    }
    // The box that named them was the user's answer; no second one.
    listeners_.ProductRefused(inUse);
    outcome_ = UpdateOutcome::Busy;
    return 0;
  }
  if (taken.lockState == ProductLockResult::State::Busy) {
    const Refusal busy{"product lock", {"another run holds " + lockPath}};
    return Refuse(busy, cp932::Text(texts::kProductBeingUpdated), 0, UpdateOutcome::Busy);
  }
  if (taken.lockState != ProductLockResult::State::Held) {
    throw UpdateError(
        FormatText(cp932::Text(texts::kLockNotCreated), {path_text::SingleSeparators(lockPath)}));
  }
  productLock_ = std::move(taken.lock);
  for (const std::string& path : taken.leftoversNotRemoved) {
    ShowBox(
        FormatText(cp932::Text(texts::kLeftoverNotRemoved), {path_text::SingleSeparators(path)}),
        cp932::Text(texts::kCaptionConfirm), MB_OK);
  }
  // A product that could not be put back is neither version: no update may
  // start on it.
  if (taken.recovered) {
    ReportRestore(taken.root, *taken.recovered);
    // Folders left with the user's files in them block nothing.
    if (!taken.recovered->Closed()) {
      outcome_ = UpdateOutcome::Failed;
      return 1;
    }
  }
  if (!ProductMayTakeUpdate(refusal)) {
    return Refuse(refusal, cp932::Text(texts::kCannotUpdateVersion), 0);
  }
  // Two products sharing one master folder would swap its contents.
  if (!HoldMasterFolders(refusal)) {
    return Refuse(refusal, cp932::Text(texts::kProductBeingUpdated), 0);
  }
  listeners_.ProductAccepted(path_text::SingleSeparators(productFolder_), m_nProductNo);

  windowsDirectory_ = platform_.files.GetWindowsDirectory();
  PrepareArchiveLibrary();
  currentDisk_ = 1;
  // Nothing of the medium is decoded or counted before the disk is trusted.
  if (!VerifyDisk(0)) {
    outcome_ = UpdateOutcome::Refused;
    return 1;
  }
  PlanVisibleRecords();
  // Observed from the check on, which writes the archives' temporaries: the
  // log hashes them as they are written.
  const ProductObservation observation(observedFiles_, productFolder_, listeners_);
  // The record has told why; nothing was touched.
  if (!CheckComingRecords(0)) {
    outcome_ = UpdateOutcome::Refused;
    return 1;
  }
  BeginJournal();
  CoverMasterFolders();
  const int records = std::clamp(description_.m_nFileCount, 0, kMaxRecords);
  for (int index = 0; index < records; ++index) {
    const RecordResult result = ProcessRecord(index);
    if (result == RecordResult::Done) continue;
    outcome_ = result == RecordResult::Cancelled ? UpdateOutcome::Cancelled
               : result == RecordResult::Refused ? UpdateOutcome::Refused
                                                 : UpdateOutcome::Stopped;
    return 1;
  }
  FinishUpdate();
  return 1;
}

int UpdateRun::FindSettingsFile(Refusal& refusal) {
  FileSystem& files = platform_.files;
  std::string& iniName = description_.m_strIniName;
  refusal.check = "settings file";
  productFolder_ = description_.m_strDestination;
  if (iniName != kSearchSettingsFile) {
    if (LocateFile(files, productFolder_, iniName) == 1) return 1;
    refusal.findings.push_back(SettingsFileMissing(files, description_.m_strDestination, iniName));
    return 0;
  }

  iniName = kVelsorSettingsFile;
  if (LocateFile(files, productFolder_, iniName) == 1) return 1;
  refusal.findings.push_back(SettingsFileMissing(files, description_.m_strDestination, iniName));
  // The failed lookup has repaired the folder text for a file that is not
  // there; the second name starts again from the text as given.
  iniName = kTremickSettingsFile;
  productFolder_ = description_.m_strDestination;
  if (LocateFile(files, productFolder_, iniName) == 1) return 1;
  refusal.findings.push_back(SettingsFileMissing(files, description_.m_strDestination, iniName));
  return 0;
}

bool UpdateRun::ProductMayTakeUpdate(Refusal& refusal) {
  FileSystem& files = platform_.files;
  const std::string& iniName = description_.m_strIniName;
  refusal.check = "product files";
  if (CheckProductFiles(files, productFolder_, iniName, &refusal.findings) != 1) return false;
  if (CheckInstalledVersion(files, description_, productFolder_, iniName, m_nProductNo) != 1) {
    return false;
  }
  m_nProductNo = IdentifyProduct(files, description_, productFolder_, iniName);
  if (m_nProductNo != kProductNotRecognised) return true;
  refusal = ExplainUnrecognisedProduct(files, description_, productFolder_, iniName);
  return false;
}

// Programs run from the product: true when the user has closed them and
// they are to be looked for again.
bool UpdateRun::AskToClose(const std::vector<ProgramInUse>& programs) {
  std::string names;
  for (const auto& program : programs) {
    if (!names.empty()) names += cp932::Text(kNameSeparator);
    names += NameWithProcessId(program);
  }
  return ShowBox(FormatText(cp932::Text(texts::kProgramsRunning), {names}),
                 cp932::Text(texts::kCaptionConfirm), MB_OKCANCEL) == IDOK;
}

void UpdateRun::PrepareArchiveLibrary() {
  archives_.SetBackgroundMode(0);
  archives_.SetCursorMode(1);
}

int UpdateRun::Refuse(const Refusal& refusal, const std::string& text, int result,
                      UpdateOutcome outcome) {
  listeners_.ProductRefused(refusal);
  ShowBox(text, cp932::Text(texts::kCaptionError), MB_OK);
  outcome_ = outcome;
  return result;
}

int UpdateRun::EndWithError(const std::string& reason) {
  outcome_ = UpdateOutcome::Failed;
  ShowBox(FormatText(cp932::Text(texts::kErrorDuringUpdate), {reason}),
          cp932::Text(texts::kCaptionConfirm), MB_OK);
  return 1;
}

int UpdateRun::ShowBox(const std::string& text, const std::string& caption, unsigned type) {
  listeners_.BoxShowing(caption, text);
  const int answer = platform_.ui.MessageBox(owner_, text, caption, type);
  listeners_.BoxShown(caption, text, answer);
  return answer;
}

}  // namespace tovrin
