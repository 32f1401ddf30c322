#pragma once
// What the Win32 dialogs need to know of a termination hold (platform/termination_hold.h):
// whether one is in force, so that WM_QUERYENDSESSION is answered FALSE.

namespace morv::win32 {

/// Whether a TerminationHold is in force in this process.
bool TerminationHeld();

}  // namespace morv::win32
