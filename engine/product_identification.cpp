#include <limits>
#include <string>

#include "description/number_text.hpp"
#include "engine/product_checks.hpp"
#include "platform/cp932.hpp"
#include "platform/profile.hpp"
#include "platform/path_text.hpp"

namespace tovrin {
namespace {

constexpr DWORD kValueBufferSize = 100;
constexpr DWORD kVersionBufferSize = 32;
constexpr int kVersionMissing = 9999;
constexpr int kVersionOfMissing = 2;
constexpr int kMakerOwnBrand = 1;
constexpr int kProductOwnBrand = 0;
constexpr int kProductOtherBrand = 99;
constexpr std::size_t kFirstTitleKeyLine = 28;

bool IsTremickProduct(const std::string& iniName) {
  std::string upper = iniName;
  cp932::MakeUpper(upper);
  return upper == "TREMICK1.INI";
}

int IdentifyByMaker(FileSystem& files, const std::string& settingsPath) {
  const std::string maker =
      GetProfileText(files, "SYSTEM", "MAKER", "1", kValueBufferSize, settingsPath);
  return AsciiToInt(maker) == kMakerOwnBrand ? kProductOwnBrand : kProductOtherBrand;
}

// The title is read as the product reads it, into 100 bytes: a keyword that
// lies beyond the first 99 bytes is not found.
std::string ReadTitle(FileSystem& files, const std::string& settingsPath) {
  return GetProfileText(files, "SYSTEM", "TITLE", "", kValueBufferSize, settingsPath);
}

int IdentifyByTitle(FileSystem& files, const UpdateDescription& description,
                    const std::string& settingsPath) {
  const std::string title = ReadTitle(files, settingsPath);
  for (std::size_t k = 0; k < description.m_strTitleKey.size(); ++k) {
    const std::string& keyword = description.m_strTitleKey[k];
    // An empty keyword occurs in every title.
    if (keyword.empty() || cp932::Find(title, keyword) >= 0) return static_cast<int>(k) + 1;
  }
  return kProductNotRecognised;
}

bool UsesPaskelSettings(const UpdateDescription& description) {
  const int kind = AsciiToInt(description.m_strProductKind);
  return kind == 1 || kind >= 4;
}

}  // namespace

int IdentifyProduct(FileSystem& files, const UpdateDescription& description,
                    const std::string& folder, const std::string& iniName) {
  const std::string settingsPath = folder + iniName;
  if (IsTremickProduct(iniName)) return IdentifyByMaker(files, settingsPath);
  return IdentifyByTitle(files, description, settingsPath);
}

Refusal ExplainUnrecognisedProduct(FileSystem& files, const UpdateDescription& description,
                                   const std::string& folder, const std::string& iniName) {
  const std::string settingsPath = folder + iniName;
  Refusal refusal{"product identification", {}};
  refusal.findings.push_back("TITLE in [SYSTEM] of " + path_text::SingleSeparators(settingsPath) +
                             " reads \"" + ReadTitle(files, settingsPath) +
                             "\" (its first 99 bytes)");
  std::string keywords = "it holds none of the title keywords of info.txt:";
  for (std::size_t k = 0; k < description.m_strTitleKey.size(); ++k) {
    keywords += " line " + std::to_string(kFirstTitleKeyLine + k) + " \"" +
                description.m_strTitleKey[k] + "\"";
  }
  refusal.findings.push_back(keywords);
  return refusal;
}

int InstalledVersionNumber(FileSystem& files, const UpdateDescription& description,
                           const std::string& folder, const std::string& iniName, int& productNo) {
  const std::string versionFile = UsesPaskelSettings(description) ? "PASKEL1.ini" : "velsor1.ini";
  const int version = AsciiToInt(
      GetProfileText(files, "SYSTEM", "VERSION", "9999", kVersionBufferSize, folder + versionFile));
  if (version == kVersionMissing) return kVersionOfMissing;
  productNo = IdentifyProduct(files, description, folder, iniName);
  const bool raised = productNo == 2 && version < std::numeric_limits<int>::max();
  return raised ? version + 1 : version;
}

int CheckInstalledVersion(FileSystem& files, const UpdateDescription& description,
                          const std::string& folder, const std::string& iniName, int& productNo) {
  InstalledVersionNumber(files, description, folder, iniName, productNo);
  return 1;
}

}  // namespace tovrin
