#pragma once
// Whether the chosen folder holds a product that may take this update.

#include <string>
#include <vector>

#include "description/update_description.hpp"
#include "engine/run_events.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

inline constexpr int kProductNotRecognised = -1;

using Findings = std::vector<std::string>;

// The menu, tool and picture marker files; may append "\" to `folder`
// (twice at most), which the run keeps building on. A refusal adds what it
// missed to `findings`.
int CheckProductFiles(const FileSystem& files, std::string& folder, const std::string& iniName,
                      Findings* findings = nullptr);

// The product number: 0 or 99 for the tremick1.ini product, 1 to 15 for the
// first title keyword found in TITLE (only its first 99 bytes are read),
// kProductNotRecognised when none is found.
int IdentifyProduct(FileSystem& files, const UpdateDescription& description,
                    const std::string& folder, const std::string& iniName);

// Why IdentifyProduct found no product: the TITLE it read and the keyword
// lines none of which it holds.
Refusal ExplainUnrecognisedProduct(FileSystem& files, const UpdateDescription& description,
                                   const std::string& folder, const std::string& iniName);

// The number the installed-version step derives from VERSION in
// "PASKEL1.ini" or "velsor1.ini" (by line 17): 2 when the key is missing or
// reads 9999, else the version, plus 1 for product number 2. In that case
// the identification is left in `productNo`.
int InstalledVersionNumber(FileSystem& files, const UpdateDescription& description,
                           const std::string& folder, const std::string& iniName, int& productNo);

// Admits every installed version (returns 1) after deriving the number
// above; nothing is compared with it yet.
int CheckInstalledVersion(FileSystem& files, const UpdateDescription& description,
                          const std::string& folder, const std::string& iniName, int& productNo);

}  // namespace tovrin
