#pragma once
// The Windows world the program expects, as one bundle handed to the engine
// and the wizard.

#include "platform/file_system.hpp"
#include "platform/registry.hpp"
#include "platform/user_interface.hpp"

namespace tovrin {

struct Platform {
  FileSystem& files;
  Registry& registry;
  UserInterface& ui;
};

}  // namespace tovrin
