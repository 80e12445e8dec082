#include "platform/enter_key.hpp"

#include <algorithm>

#include "platform/window_styles.hpp"

namespace tovrin {
namespace {

bool IsPushButton(const DialogControl& control) {
  const std::uint32_t type = control.style & BS_TYPEMASK;
  return control.className == "button" && (type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON);
}

}  // namespace

int DefaultButtonId(const DialogTemplate& page) {
  for (const DialogControl& control : page.controls) {
    if (control.className == "button" && (control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON)
      return control.id;
  }
  return IDOK;
}

EnterKey WhatEnterDoes(const DialogTemplate& page, int focusedId, bool focusedEnabled) {
  const auto focused =
      std::find_if(page.controls.begin(), page.controls.end(),
                   [focusedId](const DialogControl& c) { return c.id == focusedId; });
  if (focused != page.controls.end() && focused->className == "listbox")
    return {EnterKey::Action::EnterListEntry, focusedId};
  if (focused != page.controls.end() && focusedEnabled && IsPushButton(*focused))
    return {EnterKey::Action::PressButton, focusedId};
  return {EnterKey::Action::PressButton, DefaultButtonId(page)};
}

}  // namespace tovrin
