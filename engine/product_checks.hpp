#pragma once
// Whether the chosen folder holds a product that may take this update.

#include <string>

#include "description/update_description.hpp"
#include "platform/file_system.hpp"

namespace tovrin {

// The menu, tool and picture marker files; may append "\" to `folder`.
int CheckProductFiles(const FileSystem& files, std::string& folder, const std::string& iniName);

// The product number: 0 or 99 for the tremick1.ini product, 1 to 15 for the
// first title keyword found in TITLE, -1 when not recognised.
int IdentifyProduct(FileSystem& files, const UpdateDescription& description,
                    const std::string& folder, const std::string& iniName);

// Admits every installed version (returns 1); reads the version as the
// product does and leaves the identification in `productNo`.
int CheckInstalledVersion(FileSystem& files, const UpdateDescription& description,
                          const std::string& folder, const std::string& iniName, int& productNo);

}  // namespace tovrin
