#pragma once
// What Enter does on a page, the same on every system: in a list it enters
// the highlighted entry and nothing else (a keyboard user goes one folder at
// a time); on a push button it presses that button; anywhere else it presses
// the page's default button.

#include "platform/dialog_host.hpp"

namespace tovrin {

struct EnterKey {
  enum class Action { EnterListEntry, PressButton };
  Action action;
  int controlId;
};

// `focusedId` is the template id of the control with the focus (0 when the
// focus is on none of the page's controls); `focusedEnabled` whether it takes input.
EnterKey WhatEnterDoes(const DialogTemplate& page, int focusedId, bool focusedEnabled);

// The default push button of the page; IDOK when it names none.
int DefaultButtonId(const DialogTemplate& page);

}  // namespace tovrin
