#pragma once
// The dialog's list boxes draw their own entries, so that a name too wide for the
// list is shortened where it does not tell it apart from the other entries (the
// same shortening every toolkit uses) instead of being cut at the right edge, where
// "..._V104_FINAL_RELEASE.OUC" and "..._V105_..." look the same. The entries'
// texts stay whole in the list.

#include "platform/win32/windows_names.h"

#include <string>
#include <string_view>

namespace morv::win32 {

/// The width `text` (UTF-8) takes in pixels in the font selected into `dc`.
int TextWidth(HDC dc, std::string_view text);

/// Entry `index` of list box `list` as it holds it (UTF-8), or "" when there is none.
std::string ListEntryText(HWND list, int index);

/// Answers WM_MEASUREITEM for an owner-drawn list box of `dialog`: one line of the
/// dialog's font. False (nothing changed) for any other control.
bool MeasureListEntry(HWND dialog, MEASUREITEMSTRUCT& item);

/// Answers WM_DRAWITEM for an owner-drawn list box: the entry highlighted when
/// chosen, its text shortened to the entry's width, and the focus rectangle while
/// the list has the focus on it. False (nothing drawn) for any other control.
bool DrawListEntry(const DRAWITEMSTRUCT& item);

}  // namespace morv::win32
