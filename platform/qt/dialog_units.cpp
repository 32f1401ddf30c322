#include "platform/qt/dialog_units.h"

#include <cstdint>

namespace morv::qt {

int MulDiv(int a, int b, int c) {
  if (c == 0) return -1;
  int64_t product = static_cast<int64_t>(a) * b;
  bool negative = (product < 0) != (c < 0);
  int64_t magnitude = product < 0 ? -product : product;
  int64_t divisor = c < 0 ? -static_cast<int64_t>(c) : c;
  int64_t rounded = (magnitude + divisor / 2) / divisor;
  return static_cast<int>(negative ? -rounded : rounded);
}

BaseUnits BaseUnitsFromFont(int alphabetWidth, int height) {
  // The average width of the 52 letters, rounded to the nearest pixel.
  return {(alphabetWidth / 26 + 1) / 2, height};
}

PixelRect ToPixels(int x, int y, int cx, int cy, BaseUnits units) {
  return {MulDiv(x, units.x, 4), MulDiv(y, units.y, 8), MulDiv(cx, units.x, 4), MulDiv(cy, units.y, 8)};
}

}  // namespace morv::qt
