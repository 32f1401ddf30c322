#pragma once
// Keys that answer a box or press a button must be pressed on purpose. A key held
// down past the keyboard's repeat delay arrives again and again as WM_KEYDOWN with
// bit 30 of lParam (the key was already down) set; and keys typed while a handler
// worked wait in the thread's queue until a box runs its loop, where the system
// hands them to the box's focused button.

#include "platform/win32/windows_names.h"

namespace morv::win32 {

/// For its life, a hook on the calling thread's message retrieval (every loop: the
/// dialogs', the boxes', the pump) that turns the repeated presses of every key but
/// those that only move (Tab and the arrow and paging keys) into WM_NULL before the
/// dialog manager or a control sees them.
class HeldKeyHook {
 public:
  HeldKeyHook();
  ~HeldKeyHook();
  HeldKeyHook(const HeldKeyHook&) = delete;
  HeldKeyHook& operator=(const HeldKeyHook&) = delete;

 private:
  HHOOK m_hook;
};

/// Removes the key messages waiting in the calling thread's queue: typed before the
/// box about to open could be seen, they answer nothing.
void ThrowAwayTypedAhead();

}  // namespace morv::win32
