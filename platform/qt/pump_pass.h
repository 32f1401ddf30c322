#pragma once
// One pass of the message pump over Qt's event queue, as the desktop pump does it:
// what is pending is processed and the pass returns without waiting, but a key
// reaches the focused control only. The dialog's own keyboard handling stays out
// of it: Tab does not move the focus, Enter does not press the default button and
// Escape does not cancel the dialog. Windows opened during the pass (a box, the
// about box) keep their whole keyboard handling.

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace morv::qt {

class PumpPass : public QObject {
 public:
  /// Runs one pass over the events pending now, for the dialog `window` (the
  /// running one, or nullptr).
  static void Run(QWidget* window);

  bool eventFilter(QObject* receiver, QEvent* event) override;

 private:
  explicit PumpPass(QWidget* window) : m_window(window) {}
  QPointer<QWidget> m_window;
};

}  // namespace morv::qt
