#pragma once
// Dialog units to pixels, as the desktop computes them: the horizontal base unit is
// the dialog font's average character width, the vertical one its height; a dialog
// unit is a quarter of the first and an eighth of the second.

namespace morv::qt {

/// The dialog font's base units, in pixels.
struct BaseUnits {
  int x = 0;
  int y = 0;
};

/// A rectangle in pixels.
struct PixelRect {
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const PixelRect&) const = default;
};

/// a * b / c rounded to the nearest integer (halves away from zero); c == 0 gives -1.
int MulDiv(int a, int b, int c);

/// Base units from the font: `alphabetWidth` is the width of "A".."Z" followed by
/// "a".."z" in the font, `height` the font's ascent plus descent.
BaseUnits BaseUnitsFromFont(int alphabetWidth, int height);

/// A rectangle given in dialog units, in pixels.
PixelRect ToPixels(int x, int y, int cx, int cy, BaseUnits units);

}  // namespace morv::qt
