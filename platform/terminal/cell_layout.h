#pragma once
// Maps a dialog template onto character cells. A dialog unit is a quarter of a
// character's width and an eighth of its height, so a control at (x, y) sits near
// column x/4, row y/8 of the dialog's client area. One-line controls take the row
// that holds their vertical centre; labels may run past their template width into
// free cells (cell text is wider than a proportional font) but always keep one
// blank cell between themselves and the next control on their row.

#include <string>
#include <vector>

#include "platform/terminal/canvas.h"
#include "framework/menu_mnemonic.h"
#include "framework/resource_types.h"

namespace morv::terminal {

/// Client-area size of a dialog in cells (without frame and menu bar).
int DialogCols(const DialogTemplate& dialog);
int DialogRows(const DialogTemplate& dialog);

/// Cells of every control, in template order, relative to the client area. Hidden
/// controls (no WS_VISIBLE) get a rectangle too but neither take nor block space.
std::vector<CellRect> LayoutControls(const DialogTemplate& dialog);

/// Rows a combo box's drop-down list may use, from its template height.
int DropDownRows(const ControlTemplate& combo);

/// `text` as shown: "&x" marks a mnemonic and is drawn as "x", "&&" as "&".
/// With `noPrefix` the text is shown as it is.
std::string DisplayText(const std::string& text, bool noPrefix = false);

}  // namespace morv::terminal
