#pragma once
// A Wine prefix laid out as Wine lays it out, in a temporary folder: drive
// links in dosdevices (A: floppy, C: drive_c, D: CD-ROM, Z: /) and the drive
// types in system.reg.

#include <filesystem>

#include "tests/support/temp_folder.hpp"

namespace tovrin::testing {

struct WinePrefix {
  WinePrefix();

  TempFolder temp;
  std::filesystem::path prefix;
  std::filesystem::path floppy;  // host folder of A:
  std::filesystem::path cdrom;   // host folder of D:
};

}  // namespace tovrin::testing
