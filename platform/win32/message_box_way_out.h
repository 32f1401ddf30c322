#pragma once
// MessageBoxA held to the desktop's rule for leaving a box without a button.

#include "platform/win32/windows_names.h"

#include <string>

namespace morv::win32 {

/// MessageBoxA owned by `owner`, whose Escape key and close box answer only as a
/// box of `type` may be answered: with Cancel where the box has it, with OK where
/// OK is its only button, and not at all otherwise (Yes/No, Abort/Retry/Ignore wait
/// for one of their buttons). Some implementations of the system's boxes end any
/// box with IDCANCEL on Escape, a result the caller never offered; on one that keeps
/// the rule itself this changes nothing.
int MessageBoxWithItsOwnWayOut(HWND owner, const std::string& text, const std::string& caption, unsigned type);

}  // namespace morv::win32
