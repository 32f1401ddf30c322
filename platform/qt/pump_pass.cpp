#include "platform/qt/pump_pass.h"

#include <QApplication>
#include <QKeyEvent>

#include "platform/qt/display_loss.h"

namespace morv::qt {

void PumpPass::Run(QWidget* window) {
  if (DisplayLost()) return;
  PumpPass pass(window);
  qApp->installEventFilter(&pass);
  if (ProcessSurvivingDisplayLoss([] { QCoreApplication::processEvents(QEventLoop::AllEvents); }))
    qApp->removeEventFilter(&pass);
}

bool PumpPass::eventFilter(QObject* receiver, QEvent* event) {
  if (event->type() != QEvent::KeyPress && event->type() != QEvent::KeyRelease) return false;
  auto* widget = qobject_cast<QWidget*>(receiver);
  if (!m_window || !widget || widget->window() != m_window) return false;
  // A key the focused control leaves alone travels up to the dialog, which would
  // treat it as Enter or Escape: it stops at the dialog.
  if (widget == m_window) return true;
  // Tab would move the focus before the control sees it; no control here uses it.
  int key = static_cast<QKeyEvent*>(event)->key();
  return key == Qt::Key_Tab || key == Qt::Key_Backtab;
}

}  // namespace morv::qt
