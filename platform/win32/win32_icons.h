#pragma once
// The programs' icons (pictures as data) as system icons.

#include "platform/win32/windows_names.h"

#include "framework/resource_types.h"

namespace morv::win32 {

/// A new icon drawn from `icon` (transparent where the palette's alpha is 0), or
/// null; the caller destroys it with DestroyIcon.
HICON CreateIconFrom(const IconResource& icon);

}  // namespace morv::win32
