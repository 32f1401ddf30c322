#pragma once
// A read-only edit field whose whole text stays reachable when it is wider than the
// field: without the focus the text is shortened in the middle (both ends of a
// long package name or of an error text stay visible) and its tooltip holds the
// whole text; with the focus it shows the whole text, to be scrolled with the keys.

#include <QLineEdit>

namespace morv::qt {

class ElidedField : public QLineEdit {
 public:
  explicit ElidedField(QWidget* parent);

  /// Shows `text` (the whole of it, or shortened to fit while unfocused).
  void SetWholeText(const QString& text);
  const QString& WholeText() const { return m_whole; }

 protected:
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void Show();
  QString m_whole;
};

}  // namespace morv::qt
