#pragma once
// The dialog templates (About, destination, notes, confirm, and the
// progress window of the update run) as data:
// every control with its id, class, text, place, size and styles. Texts are
// CP932.

#include "platform/dialog_host.hpp"
#include "resources/resource_ids.hpp"

namespace tovrin {

// The template with this id; std::invalid_argument for an id that has none
// (a programming error: the ids are the constants of resource_ids.hpp).
const DialogTemplate& LoadDialogTemplate(int id);

}  // namespace tovrin
