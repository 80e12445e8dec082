#pragma once
// The few Windows constants and handle types that the program's callers use.

#include <cstdint>

namespace tovrin {

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BOOL = int;

// Opaque owner window of message boxes, dialogs and the archive library.
using WindowHandle = void*;

// Message-box buttons and answers, dialog results.
inline constexpr unsigned MB_OK = 0;
inline constexpr unsigned MB_OKCANCEL = 1;
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;

// GetDriveTypeA results.
enum DriveType : unsigned {
  DRIVE_UNKNOWN = 0,
  DRIVE_NO_ROOT_DIR = 1,
  DRIVE_REMOVABLE = 2,
  DRIVE_FIXED = 3,
  DRIVE_REMOTE = 4,
  DRIVE_CDROM = 5,
};

// The DOS attribute byte of CFileStatus.
enum FileAttribute : std::uint8_t {
  ATTR_NORMAL = 0x00,
  ATTR_READONLY = 0x01,
  ATTR_HIDDEN = 0x02,
  ATTR_SYSTEM = 0x04,
  ATTR_VOLUME = 0x08,
  ATTR_DIRECTORY = 0x10,
  ATTR_ARCHIVE = 0x20,
};

}  // namespace tovrin
