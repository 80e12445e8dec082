#include "engine/update_run.hpp"

#include <algorithm>
#include <exception>
#include <iterator>
#include <string>

#include "engine/path_helpers.hpp"
#include "engine/product_checks.hpp"
#include "engine/text_format.hpp"
#include "engine/update_error.hpp"
#include "platform/cp932.hpp"
#include "platform/user_interface.hpp"
#include "resources/messages.hpp"

namespace tovrin {

namespace {

constexpr const char* kSearchSettingsFile = "NULL";
constexpr const char* kVelsorSettingsFile = "velsor1.ini";
constexpr const char* kTremickSettingsFile = "tremick1.ini";

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
                     WindowHandle owner)
    : description_(description),
      platform_(platform),
      archives_(archives),
      owner_(owner) {
  if (!description_.m_strIniNameAsGiven) {
    description_.m_strIniNameAsGiven = description_.m_strIniName;
  }
}

int UpdateRun::RunUpdate() {
  WaitCursor cursor(platform_.ui);
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
  description_.m_strIniName = *description_.m_strIniNameAsGiven;
  if (description_.m_nInvalidLine != 0) {
    const auto line = std::to_string(description_.m_nInvalidLine);
    return Refuse(FormatText(cp932::Text(texts::kInvalidDescriptionLine), {line}), 1);
  }
  if (FindSettingsFile() != 1) return Refuse(cp932::Text(texts::kInstallFolderWrong), 0);
  if (!ProductMayTakeUpdate()) return Refuse(cp932::Text(texts::kCannotUpdateVersion), 0);

  const ProductObservation observation(observedFiles_, productFolder_, listeners_);
  windowsDirectory_ = platform_.files.GetWindowsDirectory();
  PrepareArchiveLibrary();
  currentDisk_ = 1;
  const int records = std::clamp(description_.m_nFileCount, 0, kMaxRecords);
  for (int index = 0; index < records; ++index) {
    const RecordResult result = ProcessRecord(index);
    if (result == RecordResult::Done) continue;
    outcome_ = result == RecordResult::Cancelled ? UpdateOutcome::Cancelled
                                                 : UpdateOutcome::Stopped;
    return 1;
  }
  FinishUpdate();
  return 1;
}

int UpdateRun::FindSettingsFile() {
  FileSystem& files = platform_.files;
  std::string& iniName = description_.m_strIniName;
  productFolder_ = description_.m_strDestination;
  if (iniName != kSearchSettingsFile) return LocateFile(files, productFolder_, iniName);

  iniName = kVelsorSettingsFile;
  if (LocateFile(files, productFolder_, iniName) == 1) return 1;
  // The failed lookup has repaired the folder text for a file that is not
  // there; the second name starts again from the text as given.
  iniName = kTremickSettingsFile;
  productFolder_ = description_.m_strDestination;
  return LocateFile(files, productFolder_, iniName);
}

bool UpdateRun::ProductMayTakeUpdate() {
  FileSystem& files = platform_.files;
  const std::string& iniName = description_.m_strIniName;
  if (CheckProductFiles(files, productFolder_, iniName) != 1) return false;
  if (CheckInstalledVersion(files, description_, productFolder_, iniName, m_nProductNo) != 1) {
    return false;
  }
  m_nProductNo = IdentifyProduct(files, description_, productFolder_, iniName);
  return m_nProductNo != -1;
}

void UpdateRun::PrepareArchiveLibrary() {
  archives_.SetBackgroundMode(0);
  archives_.SetCursorMode(1);
}

int UpdateRun::Refuse(const std::string& text, int result) {
  ShowBox(text, cp932::Text(texts::kCaptionError), MB_OK);
  outcome_ = UpdateOutcome::Refused;
  return result;
}

int UpdateRun::EndWithError(const std::string& reason) {
  outcome_ = UpdateOutcome::Failed;
  ShowBox(FormatText(cp932::Text(texts::kErrorDuringUpdate), {reason}),
          cp932::Text(texts::kCaptionConfirm), MB_OK);
  return 1;
}

int UpdateRun::ShowBox(const std::string& text, const std::string& caption, unsigned type) {
  return platform_.ui.MessageBox(owner_, text, caption, type);
}

}  // namespace tovrin
