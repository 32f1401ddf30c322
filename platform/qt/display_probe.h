#pragma once
// Whether Qt can open its display. Qt ends the process (abort) when a display is
// named but cannot be reached (a stale DISPLAY over SSH, sudo without the X
// authorisation), so the attempt is made in a child process first.

namespace morv::qt {

/// True when a Qt application started with `programPath` as its argv[0] can open
/// the display the environment names. Nothing of Qt is started in this process.
bool DisplayOpens(char* programPath);

}  // namespace morv::qt
