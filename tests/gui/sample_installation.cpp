#include "tests/gui/sample_installation.hpp"

#include <filesystem>

#include "platform/program_directory.hpp"

namespace tovrin::testing {
namespace {

const std::filesystem::path kExamples = std::filesystem::path(TOVRIN_SOURCE_DIR) / "examples";

DriveTable SampleDrives(const std::filesystem::path& root, DriveType mediumDrive) {
  DriveTable drives;
  drives.Map('C', root / "c", DRIVE_FIXED);
  // A floppy disk holds the medium at its root.
  drives.Map('D', mediumDrive == DRIVE_REMOVABLE ? root / "d" / "UPD" : root / "d", mediumDrive);
  return drives;
}

}  // namespace

SampleInstallation::SampleInstallation(bool withInfoFile, DriveType mediumDrive)
    : mediumFolder_(mediumDrive == DRIVE_REMOVABLE ? "D:" : "D:\\UPD\\") {
  namespace fs = std::filesystem;
  const fs::path root = fs::canonical(folder_.path());
  fs::copy(kExamples / "product" / "drive_c", root / "c", fs::copy_options::recursive);
  fs::create_directories(root / "d");
  fs::copy(kExamples / "medium", root / "d" / "UPD", fs::copy_options::recursive);
  if (!withInfoFile) fs::remove(root / "d" / "UPD" / "info.txt");
  // The Windows folder on a mapped drive, as under Wine: the archive
  // library's work folder is named by its Windows path.
  fs::create_directories(root / "c" / "WINDOWS");
  files_ =
      std::make_unique<PosixFileSystem>(SampleDrives(root, mediumDrive), root / "c" / "WINDOWS");
  registry_ = Registry::FromRegFiles({kExamples / "product" / "uninstall.reg"});
  archives_ = std::make_unique<LzhArchiveLibrary>(*files_);
}

UpdateDescription SampleInstallation::Description() {
  UpdateDescription description;
  ReadInfoFile(*files_, mediumFolder_ + "info.txt", description);
  return description;
}

std::string SampleInstallation::ProductFile(const std::string& relative) const {
  return folder_.Read(std::filesystem::path("c") / relative);
}

}  // namespace tovrin::testing
