#pragma once
// Dialog units: a template's positions in quarters of the font's average
// character width and eighths of its height, as Windows maps them.

#include "platform/dialog_host.hpp"

namespace tovrin::gui {

struct BaseUnits {
  int x = 0;  // average width of the 52 Latin letters, rounded
  int y = 0;  // character height
};

// MulDiv(x, base.x, 4) and MulDiv(y, base.y, 8), rounded as Windows rounds.
Rect MapDialogRect(int x, int y, int cx, int cy, BaseUnits base);

// The average width over "A..Za..z", rounded to the nearest pixel.
int AverageCharWidth(int widthOfAllLetters);

}  // namespace tovrin::gui
