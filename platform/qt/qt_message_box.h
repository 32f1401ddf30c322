#pragma once
// Modal message boxes with the desktop's button sets, icons and results.

#include <string>

class QWidget;

namespace morv::qt {

/// Shows `text` in a box modal to the application, over `parent` when there is one;
/// `type` holds the button set and icon bits. Returns IDOK, IDYES, ...
/// A box closed without an answer (by its owner, or by a close request) returns the
/// answer that changes nothing: MessageBoxUnansweredResult(type).
int ShowMessageBox(QWidget* parent, const std::string& text, const std::string& caption, unsigned type);

/// Ends a box that ShowMessageBox is showing without an answer.
void CloseUnanswered(QWidget* box);

}  // namespace morv::qt
