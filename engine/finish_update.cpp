// The closing phase: the settings that record the update, the master
// conversions on request, and the report.

#include <cstdlib>
#include <optional>
#include <string>

#include "engine/master_conversion.hpp"
#include "engine/path_helpers.hpp"
#include "engine/text_format.hpp"
#include "engine/update_run.hpp"
#include "platform/cp932.hpp"
#include "platform/path_text.hpp"
#include "platform/profile.hpp"
#include "platform/user_interface.hpp"
#include "resources/messages.hpp"
#include "platform/path_text.hpp"

namespace tovrin {

namespace {

constexpr const char* kSystemSection = "SYSTEM";
constexpr const char* kHistorySection = "HISTORY";
constexpr const char* kReleasedVersion = "8.0S";
constexpr DWORD kTitleBufferSize = 100;

// The whole value however long: the read is bounded like a buffer, so a
// value that fills the buffer is read again with a larger one. Nullopt when
// the file cannot be read.
std::optional<std::string> ReadWholeProfileText(FileSystem& files, const std::string& section,
                                                const std::string& key, const std::string& file) {
  for (DWORD size = kTitleBufferSize;; size *= 2) {
    auto text = ReadProfileText(files, section, key, "", size, file);
    // A double-byte character that does not fit leaves one byte unused.
    if (!text || text->size() + 2 < size) return text;
  }
}

std::string TradeKindKey(int tradeKind) {
  switch (tradeKind) {
    case 1:
      return cp932::Text(texts::kKeyKindElectrical);
    case 2:
      return cp932::Text(texts::kKeyKindWaterSupply);
    case 3:
      return cp932::Text(texts::kKeyKindBuildingServices);
    case 4:
      return cp932::Text(texts::kKeyKindArchitecture);
    default:
      return {};
  }
}

}  // namespace

// A refused write (a read-only settings file, a full disk) leaves the setting
// as it was; the user is told, so the report of success is not the only word.
void UpdateRun::WriteSetting(const std::string& section, const std::string& key,
                             const std::string& value, const std::string& file) {
  const auto target = SettingsFileToWrite(file);
  if (!target) return ReportSettingNotWritten(key, file);
  const auto oldValue = GetProfileEntry(platform_.files, section, key, *target);
  // A setting that already holds its value leaves the file as it is.
  if (oldValue == value) return;
  if (WritePrivateProfileStringA(platform_.files, section, key, value, *target)) {
    listeners_.SettingWritten(path_text::SingleSeparators(file), section, key, oldValue, value);
    return;
  }
  ReportSettingNotWritten(key, file);
}

// A settings file that is a link (a settings file shared within the
// product) is written where the link leads, the replacement made beside
// that file; a link that leads nowhere or out of the product is refused,
// so a planted link never redirects the write.
std::optional<std::string> UpdateRun::SettingsFileToWrite(const std::string& file) const {
  const FileSystem& files = platform_.files;
  const auto entries = files.FindFiles(file);
  if (entries.size() != 1 || !entries.front().isLink) return file;
  const auto final = files.FinalPath(file);
  const auto product = files.FinalPath(productFolder_);
  if (!final || !product || !path_text::IsInsideFolder(*final, *product)) return std::nullopt;
  return final;
}

void UpdateRun::ReportSettingNotWritten(const std::string& key, const std::string& file) {
  settingsWritten_ = false;
  ShowBox(
      FormatText(cp932::Text(texts::kSettingNotWritten), {path_text::SingleSeparators(file), key}),
      cp932::Text(texts::kCaptionConfirm), MB_OK);
}

void UpdateRun::FinishUpdate() {
  const std::string settingsPath = productFolder_ + description_.m_strIniName;
  WriteSetting(kSystemSection, "GENGOU", cp932::Text(texts::kEraName), settingsPath);
  WriteTitleVersion(settingsPath);
  const std::string historyPath = productFolder_ + kHistoryFile;
  WriteSetting(kHistorySection, cp932::Text(texts::kKeyExtractionStartDateOn), "1", historyPath);
  WriteSetting(kHistorySection, cp932::Text(texts::kKeyExtractionEndDateOn), "1", historyPath);
  WriteTradeKind(settingsPath);

  const bool converted = std::atoi(description_.m_strMasterAdjust.c_str()) != 1 || ConvertMasters();
  ShowBox(cp932::Text(texts::kSystemUpdated), cp932::Text(texts::kCaptionConfirm), MB_OK);
  outcome_ =
      converted && settingsWritten_ ? UpdateOutcome::Applied : UpdateOutcome::AppliedWithWarnings;
}

// The product's title names the version it was released as; the update's
// version takes its place.
void UpdateRun::WriteTitleVersion(const std::string& settingsPath) {
  const std::string& version = description_.m_strVersion;
  if (version.empty()) return;
  auto title = ReadWholeProfileText(platform_.files, kSystemSection, "TITLE", settingsPath);
  // An unreadable title is not written back empty.
  if (!title) return ReportSettingNotWritten("TITLE", settingsPath);
  ReplaceAll(*title, kReleasedVersion, version);
  WriteSetting(kSystemSection, "TITLE", *title, settingsPath);
}

void UpdateRun::WriteTradeKind(const std::string& settingsPath) {
  const std::string key = TradeKindKey(std::atoi(description_.m_strTradeKind.c_str()));
  if (key.empty()) return;
  WriteSetting(kSystemSection, key, "1", settingsPath);
}

// False when either conversion reported 0; its warning has been shown then.
bool UpdateRun::ConvertMasters() {
  WaitCursor cursor(platform_.ui);
  FileSystem& files = platform_.files;
  const std::string caption = cp932::Text(texts::kCaptionConfirm);
  // The master folders are always named in velsor1.ini, whatever the
  // product's own settings file.
  const std::string masterSettings = productFolder_ + kMasterSettingsFile;
  // The update may have named other master folders; they are locked and
  // journaled first, or left as they are.
  Refusal refusal;
  if (!HoldMasterFolders(refusal)) {
    ShowBox(cp932::Text(texts::kMaterialSizeNotConverted), caption, MB_OK);
    ShowBox(cp932::Text(texts::kMaterialTypeNotConverted), caption, MB_OK);
    return false;
  }
  CoverMasterFolders();
  bool converted = true;
  if (ConvertMaterialSize(files, masterSettings, listeners_) == 0) {
    ShowBox(cp932::Text(texts::kMaterialSizeNotConverted), caption, MB_OK);
    converted = false;
  }
  if (ConvertMaterialType(files, masterSettings, listeners_) == 0) {
    ShowBox(cp932::Text(texts::kMaterialTypeNotConverted), caption, MB_OK);
    converted = false;
  }
  return converted;
}

}  // namespace tovrin
