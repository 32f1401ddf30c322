#include "platform/qt/dialog_units.h"

#include <gtest/gtest.h>

namespace morv::qt {
namespace {

TEST(DialogUnits, MulDivRoundsToNearest) {
  struct Case {
    int a, b, c, result;
  } cases[] = {
      {189, 6, 4, 284},   // 283.5 rounds up
      {87, 13, 8, 141},   // 141.375 rounds down
      {18, 13, 8, 29},    // 29.25
      {4, 13, 8, 7},      // 6.5 rounds up
      {-6, 5, 4, -8},     // -7.5 rounds away from zero
      {0, 7, 3, 0},
      {1, 1, 0, -1},      // no divisor
      {2000000, 2000, 1000, 4000000},  // no overflow in the product
  };
  for (const auto& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
}

TEST(DialogUnits, BaseUnitsFromTheFontsAverageLetter) {
  struct Case {
    int alphabetWidth, height;
    BaseUnits units;
  } cases[] = {
      {312, 13, {6, 13}},  // 12 px per two letters: 6
      {338, 16, {7, 16}},  // 13 per two: 6.5 rounds up
      {325, 16, {6, 16}},  // 12.5 per two: the quotient 12 halves to 6.5, floored to 6
      {0, 0, {0, 0}},
  };
  for (const auto& c : cases) {
    BaseUnits u = BaseUnitsFromFont(c.alphabetWidth, c.height);
    EXPECT_EQ(u.x, c.units.x) << c.alphabetWidth;
    EXPECT_EQ(u.y, c.units.y) << c.height;
  }
}

TEST(DialogUnits, RectanglesScaleByQuarterAndEighthUnits) {
  struct Case {
    int x, y, cx, cy;
    BaseUnits units;
    PixelRect pixels;
  } cases[] = {
      {189, 87, 20, 18, {6, 13}, {284, 141, 30, 29}},   // Exit
      {0, 0, 214, 135, {6, 13}, {0, 0, 321, 219}},      // the main dialog's client area
      {5, 30, 85, 95, {7, 16}, {9, 60, 149, 190}},      // the file list in a larger font
      {97, 60, 20, 20, {8, 16}, {194, 120, 40, 40}},
  };
  for (const auto& c : cases) EXPECT_EQ(ToPixels(c.x, c.y, c.cx, c.cy, c.units), c.pixels) << c.x << "," << c.y;
}

}  // namespace
}  // namespace morv::qt
