#pragma once
// Where the installed product lives, from its uninstall command line in the
// machine-wide uninstall registry.

#include <array>
#include <optional>
#include <string>

#include "platform/registry.hpp"

namespace tovrin {

// The "UninstallString" of the first named uninstall subkey that opens with
// full access; the first empty name ends the list. Empty when no key opens
// or the one that opens has no such value.
std::string ReadUninstallString(Registry& registry, const std::array<std::string, 15>& keyNames);

// Rewrites an uninstall command line into the drive and folder of the path
// after its first " -f" (cut at the next " -"). 1 after rewriting, 0 when the
// text holds no " -f" (then it is unchanged).
int ParseUninstallString(std::string& text);

// The folder the lookup proposes: the parsed text without one final
// backslash; nullopt when the path field should keep what it has.
std::optional<std::string> LookUpInstallFolder(Registry& registry,
                                               const std::array<std::string, 15>& keyNames);

}  // namespace tovrin
