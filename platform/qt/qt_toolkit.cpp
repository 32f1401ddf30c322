#include "platform/qt/qt_toolkit.h"

#include <QApplication>
#include <QCursor>
#include <QSocketNotifier>

#include "platform/qt/dialog_style.h"
#include "platform/qt/display_loss.h"
#include "platform/qt/deliberate_keys.h"
#include "platform/qt/qt_dialog_window.h"
#include "platform/qt/qt_message_box.h"
#include "platform/qt/pump_pass.h"
#include "framework/message_box_buttons.h"

namespace morv::qt {
namespace {

/// The dialog whose modal run is on top, or nullptr.
QtDialogWindow* RunningDialog() { return dynamic_cast<QtDialogWindow*>(QApplication::activeModalWidget()); }

}  // namespace

class QtToolkit::ModalRun {
 public:
  explicit ModalRun(QtToolkit& toolkit) : m_toolkit(toolkit) {
    UseDialogStyle();
    if (m_toolkit.m_modalRuns++ == 0) QApplication::instance()->installEventFilter(m_toolkit.m_heldKeys.get());
  }
  ~ModalRun() {
    if (--m_toolkit.m_modalRuns == 0) QApplication::instance()->removeEventFilter(m_toolkit.m_heldKeys.get());
  }
  ModalRun(const ModalRun&) = delete;
  ModalRun& operator=(const ModalRun&) = delete;

 private:
  QtToolkit& m_toolkit;
};

QtToolkit::QtToolkit(CloseRequest* closeRequest)
    : m_closeRequest(closeRequest), m_heldKeys(std::make_unique<HeldKeyFilter>()) {
  if (!closeRequest || closeRequest->WakeFd() < 0) return;
  m_wake = std::make_unique<QSocketNotifier>(closeRequest->WakeFd(), QSocketNotifier::Read);
  QObject::connect(m_wake.get(), &QSocketNotifier::activated, [this] { OnWake(); });
}

QtToolkit::~QtToolkit() = default;

void QtToolkit::OnWake() {
  if (!m_closeRequest->Requested()) return;
  m_closing = true;
  // A box on top: answered as if nobody were there. Its dialog's handler goes on
  // and, once it returns, the dialog closes.
  QWidget* top = QApplication::activeModalWidget();
  if (top && !dynamic_cast<QtDialogWindow*>(top)) CloseUnanswered(top);
  // The top dialog first: the ones below it run its modal loop inside a handler.
  for (auto it = m_open.rbegin(); it != m_open.rend(); ++it) (*it)->CloseWhenIdle();
}

int QtToolkit::DoModal(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler) {
  // Nobody can see or answer it: it closes at once, as its close box would.
  if (DisplayLost()) return IDCANCEL;
  ModalRun run(*this);
  auto window = std::make_unique<QtDialogWindow>(dialog, resources, handler, QApplication::activeModalWidget());
  if (m_closing) window->CloseWhenIdle();
  m_open.push_back(window.get());
  int result = window->Run();
  m_open.pop_back();
  // Kept, never destroyed, once the display has gone: Qt's frames of its modal loop
  // were left behind and still refer to it.
  if (DisplayLost()) (void)window.release();
  return result;
}

int QtToolkit::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
  if (m_closing || DisplayLost()) return MessageBoxUnansweredResult(type);
  ModalRun run(*this);
  QWidget* owner = QApplication::activeModalWidget();
  int result = ShowMessageBox(owner, text, caption, type);
  // A handler that goes on working processes no events: the area the box leaves
  // is painted now, not when the handler returns.
  if (auto* dialog = dynamic_cast<QtDialogWindow*>(owner); dialog && !DisplayLost()) dialog->PaintNowInHandler();
  return result;
}

void QtToolkit::MessageBeep(unsigned) {
  if (!DisplayLost()) QApplication::beep();
}

CursorShape QtToolkit::GetCursor() const {
  const QCursor* cursor = QGuiApplication::overrideCursor();
  return cursor && cursor->shape() == Qt::WaitCursor ? CursorShape::Wait : CursorShape::Arrow;
}

void QtToolkit::SetCursor(CursorShape shape) {
  if (DisplayLost()) return;
  if (shape == CursorShape::Wait) {
    if (QGuiApplication::overrideCursor()) {
      QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
    } else {
      QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
  } else {
    while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
  }
  // The busy cursor is set again after each step of a long handler: each time the
  // window is brought up to date, so it never shows a stale picture meanwhile.
  if (QtDialogWindow* dialog = RunningDialog()) dialog->PaintNowInHandler();
}

void QtToolkit::PumpOneMessage() { PumpPass::Run(QApplication::activeModalWidget()); }

void QtToolkit::PaintExposed() {
  if (QtDialogWindow* dialog = RunningDialog()) dialog->PaintNowInHandler();
}

}  // namespace morv::qt
