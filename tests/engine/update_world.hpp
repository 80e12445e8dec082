#pragma once
// A whole update world in a temporary folder: an update medium on drive A:
// (removable or fixed), an installed product in C:\PROG, the Windows folder
// C:\windows, the real platform layer and archive library, and the scripted
// message-box host.

#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "archive/lzh_archive_library.hpp"
#include "description/update_description.hpp"
#include "engine/observed_file_system.hpp"
#include "engine/update_run.hpp"
#include "platform/registry.hpp"
#include "tests/engine/recording_archive_library.hpp"
#include "tests/support/scripted_user_interface.hpp"
#include "tests/support/temp_folder.hpp"
#include "tests/support/test_file_system.hpp"

namespace tovrin::testing {

// The real file system, with faults to switch on.
class FaultyFileSystem : public TestFileSystem {
 public:
  using TestFileSystem::TestFileSystem;
  bool GetStatus(std::string_view path, FileStatus& status) const override;
  bool SetStatus(std::string_view path, const FileStatus& status) override;
  std::unique_ptr<InputFile> OpenRead(std::string_view path, OpenAccess access) override;
  std::optional<std::vector<FindEntry>> SearchFiles(std::string_view pattern) const override;
  bool ReplaceUnflushed(std::string_view from, std::string_view to) override;
  bool Flush(std::string_view path) override;
  bool Replace(std::string_view from, std::string_view to) override;
  bool failGetStatus = false;
  bool failFlush = false;
  // Renames whose source had not been flushed before.
  int renamedUnflushedData = 0;
  std::set<std::string, std::less<>> flushed;
  bool failSetStatus = false;
  // Asked for each path opened for reading or pattern searched; true fails it.
  std::function<bool(std::string_view path)> failOpenRead;
  std::function<bool(std::string_view pattern)> failSearch;
  // A file nothing may take the place of (Windows path), as one held open.
  std::string failReplaceOf;
};

using ArchiveMembers = std::vector<std::pair<std::string, std::string>>;

class UpdateWorld {
 public:
  explicit UpdateWorld(DriveType mediumType = DRIVE_FIXED);

  std::filesystem::path Medium() const { return temp_.path() / "medium"; }
  std::filesystem::path Product() const { return temp_.path() / "c" / "PROG"; }

  void WriteMedium(const std::filesystem::path& relative, std::string_view bytes) const;
  void WriteProduct(const std::filesystem::path& relative, std::string_view bytes) const;
  std::string ReadProduct(const std::filesystem::path& relative) const;
  bool ProductHas(const std::filesystem::path& relative) const;
  // An LZH archive on the medium holding the members (name, content).
  void WriteArchive(const std::filesystem::path& relative, const ArchiveMembers& members) const;

  // A velsor1.ini product that passes the checks, whose TITLE holds the
  // first title keyword (product number 1).
  void MakeVelsorProduct(std::string_view title = "電気 8.0S") const;
  // A tremick1.ini product with the given MAKER (0 for 1, 99 otherwise).
  void MakeTremickProduct(std::string_view maker) const;

  // Line 16 "C:\PROG", line 19 "velsor1.ini", version "9.0A", title
  // keywords KEY01 to KEY15 with the first one "電気"; no records.
  void DescribeUpdate();
  void AddRecord(int disk, int kind, std::string_view source, std::string_view subFolder);

  // Every file below the product folder with its content, for "nothing
  // changed" comparisons; the program's ".tovrin" folder left out.
  std::vector<std::pair<std::string, std::string>> ProductSnapshot() const;

  // Runs the update with a new UpdateRun, which run() then gives; `events`
  // hears what it does.
  int Run(RunEvents& events = NoRunEvents());

  UpdateDescription description;
  ScriptedUserInterface ui;
  // Where the runs keep their journal; the host's own when null.
  JournalFiles* journalFiles = nullptr;
  // The keys the runs trust besides the product's own.
  TrustedKeys trustedKeys;
  UpdateRun& run() { return *run_; }
  FaultyFileSystem& files() { return files_; }
  RecordingArchiveLibrary& archives() { return archives_; }
  WindowHandle owner() const { return owner_; }

 private:
  TempFolder temp_;
  FaultyFileSystem files_;
  ObservedFileSystem observed_{files_};
  Registry registry_;
  Platform platform_;
  LzhArchiveLibrary library_;
  RecordingArchiveLibrary archives_;
  WindowHandle owner_;
  std::unique_ptr<UpdateRun> run_;
};

// Our own UTF-8 text as the CP932 bytes the program holds.
std::string Sjis(std::string_view utf8);

}  // namespace tovrin::testing
