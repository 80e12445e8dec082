#include "hosts/wx/dialog_units.hpp"

#include <cstdint>

namespace tovrin::gui {
namespace {

// MulDiv: the 64-bit product divided with rounding half away from zero.
int MulDiv(int number, int numerator, int denominator) {
  const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
  const std::int64_t half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

}  // namespace

Rect MapDialogRect(int x, int y, int cx, int cy, BaseUnits base) {
  const int left = MulDiv(x, base.x, 4);
  const int top = MulDiv(y, base.y, 8);
  return {left, top, left + MulDiv(cx, base.x, 4), top + MulDiv(cy, base.y, 8)};
}

int AverageCharWidth(int widthOfAllLetters) { return (widthOfAllLetters / 26 + 1) / 2; }

}  // namespace tovrin::gui
