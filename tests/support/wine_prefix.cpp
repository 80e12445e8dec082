#include "tests/support/wine_prefix.hpp"

namespace tovrin::testing {

namespace fs = std::filesystem;

WinePrefix::WinePrefix()
    : prefix(temp.path() / "prefix"),
      floppy(temp.path() / "media" / "floppy"),
      cdrom(temp.path() / "media" / "cd") {
  fs::create_directories(prefix / "dosdevices");
  fs::create_directories(prefix / "drive_c" / "windows");
  fs::create_directories(floppy);
  fs::create_directories(cdrom);
  fs::create_symlink("../drive_c", prefix / "dosdevices" / "c:");
  fs::create_symlink(floppy, prefix / "dosdevices" / "a:");
  fs::create_symlink(cdrom, prefix / "dosdevices" / "d:");
  fs::create_symlink("/dev/null", prefix / "dosdevices" / "d::");  // a raw device, not a drive
  fs::create_symlink("/", prefix / "dosdevices" / "z:");
  temp.Write("prefix/system.reg",
             "WINE REGISTRY Version 2\n"
             ";; All keys relative to \\\\Machine\n"
             "\n"
             "[Software\\\\Wine\\\\Drives] 1700000000\n"
             "#time=1d9a1b2c3d4e5f6\n"
             "\"a:\"=\"floppy\"\n"
             "\"D:\"=\"cdrom\"\n"
             "\n"
             "[Software\\\\Wine\\\\Other] 1700000000\n"
             "\"c:\"=\"network\"\n");
}

}  // namespace tovrin::testing
