#include "platform/qt/elided_field.h"

#include <QStyle>
#include <QStyleOptionFrame>

namespace morv::qt {

ElidedField::ElidedField(QWidget* parent) : QLineEdit(parent) { setReadOnly(true); }

void ElidedField::SetWholeText(const QString& text) {
  m_whole = text;
  Show();
}

void ElidedField::focusInEvent(QFocusEvent* event) {
  QLineEdit::focusInEvent(event);
  Show();
}

void ElidedField::focusOutEvent(QFocusEvent* event) {
  QLineEdit::focusOutEvent(event);
  Show();
}

void ElidedField::resizeEvent(QResizeEvent* event) {
  QLineEdit::resizeEvent(event);
  Show();
}

void ElidedField::Show() {
  QStyleOptionFrame option;
  initStyleOption(&option);
  QRect contents = style()->subElementRect(QStyle::SE_LineEditContents, &option, this);
  QMargins margins = textMargins();
  // QLineEdit keeps two pixels free on each side of its text.
  int room = contents.width() - margins.left() - margins.right() - 4;
  QString elided = fontMetrics().elidedText(m_whole, Qt::ElideMiddle, room);
  bool shortened = elided != m_whole;
  setText(shortened && !hasFocus() ? elided : m_whole);
  setCursorPosition(0);
  setToolTip(shortened ? m_whole : QString());
}

}  // namespace morv::qt
