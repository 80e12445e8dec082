#pragma once
// The update run: from the chosen folder to the report, in one pass.

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "archive/archive_library.hpp"
#include "description/update_description.hpp"
#include "engine/medium_trust.hpp"
#include "engine/observed_file_system.hpp"
#include "engine/run_events.hpp"
#include "engine/room_ledger.hpp"
#include "engine/run_journal.hpp"
#include "platform/journal_files.hpp"
#include "platform/platform.hpp"
#include "platform/programs_in_use.hpp"

namespace tovrin {

// The settings files the closing phase writes besides the product's own:
// the one that names the master folders, and the history.
inline constexpr const char* kMasterSettingsFile = "velsor1.ini";
inline constexpr const char* kHistoryFile = "dov3.ini";

// How the last run ended, finer than its 1/0 result (exit statuses of the
// unattended run are made from it).
enum class UpdateOutcome {
  NotRun,
  Applied,              // every record done, settings written
  AppliedWithWarnings,  // applied, but a master conversion reported 0
  Refused,              // result 0, or an invalid description: nothing touched
  Busy,                 // not now: another run or a running program holds the product
  Cancelled,            // a disk prompt was cancelled
  Stopped,              // an extraction or a copy failed
  Failed,               // anything else (an error caught at the run's edge)
};

// Every run starts again from line 19 as info.txt gave it (kept in the
// description by the first run), so a "NULL" description chooses its
// settings file afresh after a refused run.
class UpdateRun {
 public:
  // `events` hears what the run does as it happens, as AddListener's do.
  UpdateRun(UpdateDescription& description, Platform& platform, ArchiveLibrary& archives,
            WindowHandle owner, RunEvents& events = NoRunEvents());

  // 1 when the run has ended for good, 0 when the chosen folder holds no
  // product that can take the update (nothing was touched).
  int RunUpdate();

  // The file system of the platform and of the archive library, through
  // which the run sees its own changes to the product.
  void ObserveChangesThrough(ObservedFileSystem& files) { observedFiles_ = &files; }
  // Tells `listener` what the run does, its changes to the product included.
  void AddListener(RunEvents& listener) { listeners_.Add(listener); }
  // The keys the product trusts besides those of its own folder, and
  // whether the medium must be signed.
  void TrustKeys(TrustedKeys keys) { trustedKeys_ = std::move(keys); }
  // Where the journal keeps old files; the host's own by default.
  void KeepJournalWith(JournalFiles& store) { journalFiles_ = &store; }

  UpdateOutcome Outcome() const { return outcome_; }
  int ProductNo() const { return m_nProductNo; }

 private:
  enum class RecordResult { Done, Cancelled, Stopped, Refused };

  // update_run.cpp
  int RunGuarded();
  int RunChecked();
  int FindSettingsFile(Refusal& refusal);
  bool ProductMayTakeUpdate(Refusal& refusal);
  bool AskToClose(const std::vector<ProgramInUse>& programs);
  void PrepareArchiveLibrary();
  int Refuse(const Refusal& refusal, const std::string& text, int result,
             UpdateOutcome outcome = UpdateOutcome::Refused);
  int EndWithError(const std::string& reason);
  int ShowBox(const std::string& text, const std::string& caption, unsigned type);

  // run_journal_steps.cpp
  void BeginJournal();
  void CloseJournal();
  void JournalAhead(int index, const std::string& targetFolder);
  void ReportRestore(const std::filesystem::path& productRoot, const RestoreResult& result);
  JournalFiles& JournalStore();

  // medium_check.cpp
  bool CheckComingRecords(int first);
  // Tells why the medium cannot serve the records from `first` on.
  void RefuseMedium(int first, const std::string& finding, const std::string& text);
  // What the closing phase will write, counted though it comes last.
  bool CountClosingNeeds(int first, RoomLedger& ledger, const std::filesystem::path& productRoot);
  // The folder a record writes into, as messages show it.
  std::string TargetFolderShown(int index) const;

  // medium_verification.cpp
  bool VerifyDisk(int first);
  // The first record after the disk that serves `first` (records beyond it need a prompt).
  int DiskEnd(int first) const;

  // master_folder_steps.cpp
  struct MasterFolder {
    std::string windows;  // with its trailing separator
    std::filesystem::path host;
  };
  // The existing folders the master conversions will write into, in host
  // path order; none when the description asks for no conversion.
  std::vector<MasterFolder> MasterFoldersToConvert() const;
  // Locks those not held yet; false (with `refusal`) when another run holds one.
  bool HoldMasterFolders(Refusal& refusal);
  void CoverMasterFolders();

  // record_processing.cpp
  RecordResult ProcessRecord(int index);
  bool PromptsForDisk(int index, int currentDisk) const;
  bool AskForDisk(int index);
  void PlanVisibleRecords();
  std::string RecordMediumFile(int index) const;
  // The extraction command of an archive record.
  std::string ExtractCommand(int index) const;
  RecordResult ExtractArchive(int index);
  void PrepareStartArchive(int index);
  RecordResult CopyUpdateFile(int index, const std::string& targetFolder);

  // finish_update.cpp
  void WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                    const std::string& file);
  std::optional<std::string> SettingsFileToWrite(const std::string& file) const;
  void ReportSettingNotWritten(const std::string& key, const std::string& file);
  void FinishUpdate();
  void WriteTitleVersion(const std::string& settingsPath);
  void WriteTradeKind(const std::string& settingsPath);
  bool ConvertMasters();

  UpdateDescription& description_;
  Platform& platform_;
  ArchiveLibrary& archives_;
  WindowHandle owner_;
  std::string productFolder_;
  std::string windowsDirectory_;
  int currentDisk_ = 1;
  bool settingsWritten_ = true;  // false once a settings write was refused
  int m_nProductNo = -1;
  std::array<bool, kMaxRecords> recordPlanned_{};  // its bytes told to the listeners
  // Each archive of the disk in hand, decoded and checked by its check,
  // waiting for its record to put it in place.
  std::array<std::unique_ptr<StagedExtraction>, kMaxRecords> staged_;
  UpdateOutcome outcome_ = UpdateOutcome::NotRun;
  TrustedKeys trustedKeys_;
  // Those with the product's own keys added, for the run under way.
  TrustedKeys runKeys_;
  // What the disk's SHA256SUMS lists for each record's file: what is put in
  // place is held against it again as it is read.
  std::array<std::optional<Sha256Hash>, kMaxRecords> listedSha256_;
  ObservedFileSystem* observedFiles_ = nullptr;
  RunEventFanout listeners_;
  JournalFiles* journalFiles_ = nullptr;
  std::unique_ptr<JournalFiles> hostJournalFiles_;
  std::unique_ptr<RunJournal> journal_;
  std::unique_ptr<ProductLock> productLock_;
  std::vector<std::unique_ptr<ProductLock>> masterFolderLocks_;
  std::vector<MasterFolder> heldMasterFolders_;
  std::filesystem::path journalRoot_;
  bool journalOpen_ = false;
};

}  // namespace tovrin
