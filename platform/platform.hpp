#pragma once
// The Windows world the program expects, as one bundle handed to the engine
// and the wizard.

#include <string>

#include "platform/file_system.hpp"
#include "platform/registry.hpp"
#include "platform/user_interface.hpp"

namespace tovrin {

struct Platform {
  FileSystem& files;
  Registry& registry;
  UserInterface& ui;
  // The update medium folder as a Windows path: it ends with a backslash,
  // except at the root of a drive, where it is "A:" alone, so that every
  // file of the medium is this followed by its name.
  std::string mediumFolder;
};

}  // namespace tovrin
