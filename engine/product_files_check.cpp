#include <initializer_list>

#include "engine/product_checks.hpp"
#include "platform/cp932.hpp"

namespace tovrin {
namespace {

bool Exists(const FileSystem& files, const std::string& path) { return files.Access(path) == 0; }

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

// Only these products keep menu settings files.
bool HasMenuFiles(const std::string& iniName) {
  std::string upper = iniName;
  cp932::MakeUpper(upper);
  return upper == "VELSOR1.INI" || upper == "PASKEL1.INI";
}

bool PassesMenuStage(const FileSystem& files, std::string& folder, const std::string& iniName) {
  if (!HasMenuFiles(iniName)) return true;
  return Exists(files, folder) && FoundWithSeparator(files, folder, {"ve2menu.ini", "ve1menu.ini"});
}

// The tool program stands in for missing menu files; this stage runs (and
// may repair the folder text) even when the menu stage has passed.
bool PassesToolStage(const FileSystem& files, std::string& folder) {
  return Exists(files, folder) && FoundWithSeparator(files, folder, {"formater.exe"});
}

bool PassesPictureStages(const FileSystem& files, const std::string& folder) {
  return Exists(files, folder) && Exists(files, folder + "\\bmp\\LAYER2L.BMP") &&
         !Exists(files, folder + "\\bmp\\file.BMP");
}

}  // namespace

int CheckProductFiles(const FileSystem& files, std::string& folder, const std::string& iniName) {
  const bool menuPassed = PassesMenuStage(files, folder, iniName);
  const bool toolPassed = PassesToolStage(files, folder);
  if (!menuPassed && !toolPassed) return 0;
  return PassesPictureStages(files, folder) ? 1 : 0;
}

}  // namespace tovrin
