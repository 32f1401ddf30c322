#include "platform/qt/qt_toolkit.h"

#include <QApplication>
#include <QCursor>

#include "platform/qt/qt_dialog_window.h"
#include "platform/qt/qt_message_box.h"

namespace morv::qt {

int QtToolkit::DoModal(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler) {
  QtDialogWindow window(dialog, resources, handler, QApplication::activeModalWidget());
  return window.Run();
}

int QtToolkit::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
  return ShowMessageBox(QApplication::activeModalWidget(), text, caption, type);
}

void QtToolkit::MessageBeep(unsigned) { QApplication::beep(); }

CursorShape QtToolkit::GetCursor() const {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor && cursor->shape() == Qt::WaitCursor ? CursorShape::Wait : CursorShape::Arrow;
}

void QtToolkit::SetCursor(CursorShape shape) {
  if (shape == CursorShape::Wait) {
    if (QGuiApplication::overrideCursor()) {
      QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
    } else {
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
  } else {
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
  }
}

void QtToolkit::PumpOneMessage() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

}  // namespace morv::qt
