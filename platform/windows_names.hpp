#pragma once
// The rules by which Windows turns a CP932 file or folder name into the
// name it creates: what it strips, and the device names it never creates.

#include <string>
#include <string_view>

namespace tovrin::windows_names {

// The name without its trailing dots and blanks, which Windows drops
// ("old.txt." and "old.txt " both create "old.txt"). Neither byte is ever a
// second byte, so they are stripped byte by byte. "." and ".." stay.
std::string WithoutTrailingDotsAndBlanks(std::string_view name);

// CON, PRN, AUX, NUL, COM1 to COM9 and LPT1 to LPT9 in any letter case,
// alone or with an extension ("nul.txt", "CON .log"): names of devices.
bool IsReservedDeviceName(std::string_view name);

}  // namespace tovrin::windows_names
