#pragma once
// The Win32 toolkit: the system's own dialogs, built from the programs' templates in
// memory, with the real list box, combo boxes, edits, buttons, pictures, menu bar and
// system menu; MessageBoxA, MessageBeep, the system's wait cursor, and a pump that
// is one PeekMessage/TranslateMessage/DispatchMessage pass.

#include <map>
#include <memory>

#include "framework/toolkit.h"

namespace morv::win32 {

class HeldKeyHook;

/// While it lives, auto-repeated keys press no button and answer no box on its thread.
class Win32Toolkit : public Toolkit {
 public:
  Win32Toolkit();
  ~Win32Toolkit() override;

  /// DialogBoxIndirectParamA over the dialog running now (if any), which is disabled
  /// meanwhile; the menu bar and icons are set before OnInitDialog is delivered.
  int DoModal(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler) override;
  /// MessageBoxA owned by the dialog running now; Escape and the close box answer
  /// only with the way out the button set offers (message_box_way_out.h). Keys
  /// typed before it opened are thrown away (deliberate_keys.h).
  int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;
  /// The system's MessageBeep.
  void MessageBeep(unsigned type) override;
  /// Wait when the system's pointer is its wait cursor, Arrow otherwise.
  CursorShape GetCursor() const override;
  /// SetCursor with the system's arrow or wait cursor. The wait cursor stays while
  /// the pointer moves over the dialogs: they answer WM_SETCURSOR with it.
  void SetCursor(CursorShape shape) override;
  /// PeekMessageA (any window, any message, PM_REMOVE), then TranslateMessage and
  /// DispatchMessageA when a message was taken.
  void PumpOneMessage() override;
  /// Lets the system take in what the display uncovered (PeekMessageA for paint
  /// messages only, removing nothing), then paints the running dialogs and their
  /// controls where they need it, sending WM_PAINT to them directly. Nothing queued
  /// is dispatched.
  void PaintExposed() override;

  /// The window of the innermost dialog running now, or null (for tests).
  void* ActiveDialog() const;

  struct Running;
  /// The shape last set with SetCursor.
  CursorShape ShapeSet() const { return m_shape; }

 private:
  std::unique_ptr<HeldKeyHook> m_heldKeys;
  Running* m_innermost = nullptr;  ///< dialogs nest; each knows the one it runs over
  CursorShape m_shape = CursorShape::Arrow;  ///< the last one set
};

}  // namespace morv::win32
