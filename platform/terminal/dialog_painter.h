#pragma once
// Draws a terminal dialog onto a canvas: frame with caption, menu bar, the visible
// controls (the focused one marked), an open drop-down list or menu on top, and the
// busy marker while a long operation runs.

#include "platform/terminal/canvas.h"
#include "platform/terminal/terminal_dialog.h"

namespace morv::terminal {

/// Paints `dialog` where its placement puts it; `busy` adds the busy marker.
void PaintDialog(Canvas& canvas, const TerminalDialog& dialog, bool busy);

/// The one line shown instead of the windows when the terminal is too small.
void PaintTooSmall(Canvas& canvas, int neededRows, int neededCols);

/// Text of the busy marker.
inline constexpr const char* kBusyMarker = " Busy ";

}  // namespace morv::terminal
