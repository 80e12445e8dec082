#include <initializer_list>

#include "engine/product_checks.hpp"
#include "platform/cp932.hpp"
#include "platform/path_text.hpp"

namespace tovrin {
namespace {

bool Exists(const FileSystem& files, const std::string& path) {
  return files.Exists(path) == Presence::Present;
}

std::string Shown(const std::string& folder) { return path_text::SingleSeparators(folder); }

bool AnyExists(const FileSystem& files, const std::string& folder,
               std::initializer_list<const char*> names) {
  for (const char* name : names) {
    if (Exists(files, folder + name)) return true;
  }
  return false;
}

// Tests the names under the folder text, then once more after appending a
// backslash; the backslash stays whatever the second test finds.
bool FoundWithSeparator(const FileSystem& files, std::string& folder,
                        std::initializer_list<const char*> names) {
  if (AnyExists(files, folder, names)) return true;
  folder += '\\';
  return AnyExists(files, folder, names);
}

std::string NoneOf(std::initializer_list<const char*> names, const std::string& folder) {
  std::string finding = "none of";
  for (const char* name : names) finding += std::string(" ") + name;
  return finding + " is in " + Shown(folder);
}

// Only these products keep menu settings files.
bool HasMenuFiles(const std::string& iniName) {
  std::string upper = iniName;
  cp932::MakeUpper(upper);
  return upper == "VELSOR1.INI" || upper == "PASKEL1.INI";
}

// Tests a stage's marker files; a failed stage says what it missed.
bool PassesMarkerStage(const FileSystem& files, std::string& folder,
                       std::initializer_list<const char*> names, Findings* findings) {
  if (!Exists(files, folder)) {
    if (findings) findings->push_back("the folder " + Shown(folder) + " does not exist");
    return false;
  }
  const std::string searched = folder;
  if (FoundWithSeparator(files, folder, names)) return true;
  if (findings) findings->push_back(NoneOf(names, searched));
  return false;
}

bool PassesMenuStage(const FileSystem& files, std::string& folder, const std::string& iniName,
                     Findings* findings) {
  if (!HasMenuFiles(iniName)) return true;
  return PassesMarkerStage(files, folder, {"ve2menu.ini", "ve1menu.ini"}, findings);
}

// The tool program stands in for missing menu files; this stage runs (and
// may repair the folder text) even when the menu stage has passed.
bool PassesToolStage(const FileSystem& files, std::string& folder, Findings* findings) {
  return PassesMarkerStage(files, folder, {"formater.exe"}, findings);
}

bool PassesPictureStages(const FileSystem& files, const std::string& folder, Findings* findings) {
  std::string finding;
  if (!Exists(files, folder)) {
    finding = "the folder " + Shown(folder) + " does not exist";
  } else if (!Exists(files, folder + "\\bmp\\LAYER2L.BMP")) {
    finding = "the picture bmp\\LAYER2L.BMP is not in " + Shown(folder);
  } else if (Exists(files, folder + "\\bmp\\file.BMP")) {
    finding =
        "the picture bmp\\file.BMP is in " + Shown(folder) + ", which no product to update holds";
  } else {
    return true;
  }
  if (findings) findings->push_back(finding);
  return false;
}

}  // namespace

int CheckProductFiles(const FileSystem& files, std::string& folder, const std::string& iniName,
                      Findings* findings) {
  Findings missed;
  const bool menuPassed = PassesMenuStage(files, folder, iniName, &missed);
  const bool toolPassed = PassesToolStage(files, folder, &missed);
  if (!menuPassed && !toolPassed) {
    if (findings) findings->insert(findings->end(), missed.begin(), missed.end());
    return 0;
  }
  return PassesPictureStages(files, folder, findings) ? 1 : 0;
}

}  // namespace tovrin
