#pragma once
// The whole text of a list box entry or a read-only field that is wider than its
// control, shown in a tooltip while the pointer rests on it: two long package
// names that differ only near their end, or an error text cut at the field's edge,
// are read whole without changing what the controls hold.

#include "platform/win32/windows_names.h"

#include <functional>
#include <string>

#include "framework/win32_types.h"

namespace morv::win32 {

/// The width `text` takes in pixels in `control`'s font.
int TextWidth(HWND control, const std::string& text);

class WholeTextTips {
 public:
  /// One tooltip over the list boxes and read-only edits among `dialog`'s children;
  /// it asks the dialog for its texts (WM_NOTIFY, TTN_GETDISPINFO). `wholeText`
  /// gives a read-only edit's whole text (the edit may show it shortened).
  WholeTextTips(HWND dialog, std::function<std::string(HWND)> wholeText);
  ~WholeTextTips();
  WholeTextTips(const WholeTextTips&) = delete;
  WholeTextTips& operator=(const WholeTextTips&) = delete;

  /// Answers the tooltip's TTN_GETDISPINFOA/W (in the dialog's WM_NOTIFY); false
  /// for any other notification.
  bool Answer(NMHDR& notification);
  /// The tooltip's text for `control`: a list box's entry under the pointer or an
  /// edit's text, whole, when it is wider than the control; empty (no tooltip) when
  /// the control shows all of it.
  std::string TextFor(HWND control) const;

 private:
  HWND m_dialog;
  std::function<std::string(HWND)> m_wholeText;
  HWND m_tip;
  std::string m_text;     ///< the text last answered, alive while the tooltip shows it
  std::wstring m_wide;    ///< the same for a tooltip that asks in UTF-16
};

}  // namespace morv::win32
