#pragma once
// A small Windows world for the wizard's tests: drives C: and D: mapped onto
// real temporary folders, the real file system layer, a registry from .reg
// text, and a scripted message-box host.

#include <filesystem>
#include <memory>
#include <string>

#include "platform/cp932.hpp"
#include "platform/drive_table.hpp"
#include "platform/platform.hpp"
#include "tests/support/test_file_system.hpp"
#include "platform/registry.hpp"
#include "tests/support/scripted_user_interface.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {

class WizardWorld {
 public:
  WizardWorld();

  // The host folder behind a drive ('C' or 'D').
  std::filesystem::path Drive(char letter) const;
  // Makes a folder (and its parents) on a drive; `path` is UTF-8, '/'-separated.
  void Folder(char letter, const std::string& path) const;
  void File(char letter, const std::string& path, const std::string& bytes = "x") const;
  // Loads the registry from REGEDIT4 text (UTF-8 here, CP932 in the file).
  void Registry(const std::string& regText);

  FileSystem& Files() { return *files_; }
  tovrin::Registry& Reg() { return registry_; }
  ScriptedUserInterface& Ui() { return ui_; }
  tovrin::Platform& Platform() { return platform_; }

 private:
  TempFolder root_;
  std::unique_ptr<FileSystem> files_;
  tovrin::Registry registry_;
  ScriptedUserInterface ui_;
  tovrin::Platform platform_;
};

// A CP932 text of a UTF-8 literal, for comparisons.
inline std::string Sjis(const char* utf8) { return cp932::Text(utf8); }

}  // namespace tovrin::testing
