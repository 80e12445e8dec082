#pragma once
// The sample product installed on drive C: and the sample update medium on
// drive D:\UPD\ (at the root of D: when D: is removable, as a floppy disk
// holds it), both copied into a temporary folder, with the uninstall
// registry of the sample; mediumFolder() names the medium for the test's
// lifetime.

#include <filesystem>
#include <memory>
#include <string>

#include "archive/lzh_archive_library.hpp"
#include "description/update_description.hpp"
#include "platform/posix/file_system.hpp"
#include "platform/registry.hpp"
#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {

class SampleInstallation {
 public:
  // `withInfoFile` false leaves info.txt off the medium; `mediumDrive` is
  // the type of drive D:.
  explicit SampleInstallation(bool withInfoFile = true, DriveType mediumDrive = DRIVE_FIXED);

  FileSystem& files() { return *files_; }
  const std::string& mediumFolder() const { return mediumFolder_; }
  Registry& registry() { return registry_; }
  ArchiveLibrary& archives() { return *archives_; }
  // The medium's info.txt as the program reads it.
  UpdateDescription Description();
  // A file of the installed product, below C:\.
  std::string ProductFile(const std::string& relative) const;
  // The medium's folder on the host.
  std::filesystem::path Medium() const { return folder_.path() / "d" / "UPD"; }

 private:
  TempFolder folder_;
  std::unique_ptr<PosixFileSystem> files_;
  Registry registry_;
  std::unique_ptr<LzhArchiveLibrary> archives_;
  std::string mediumFolder_;
};

}  // namespace tovrin::testing
