#pragma once
// The uninstall keys of the Windows registry, as the product (a 32-bit
// program) sees them, for the install-folder lookup.

#include "platform/registry.hpp"

namespace tovrin {

// HKEY_LOCAL_MACHINE\SOFTWARE\Microsoft\Windows\CurrentVersion\Uninstall in
// the 32-bit view: its keys and their string values.
Registry ReadSystemUninstallKeys();

}  // namespace tovrin
