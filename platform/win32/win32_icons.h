#pragma once
// The programs' icons (pictures as data) as system icons.

#include "platform/win32/windows_names.h"

#include "framework/resource_types.h"

namespace morv::win32 {

/// A new icon drawn from `icon` (transparent where the palette's alpha is 0), or
/// null; the caller destroys it with DestroyIcon. With a `size`, it is stretched to
/// `size` pixels square (a picture at a DPI above the 96 it was drawn for).
HICON CreateIconFrom(const IconResource& icon, int size = 0);

}  // namespace morv::win32
