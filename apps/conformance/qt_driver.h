#pragma once
// The conformance driver of the Qt toolkit (offscreen): the operator's keys and
// clicks go through QTest, as a window system would deliver them.

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>

#include "apps/conformance/toolkit_driver.h"
#include "platform/qt/qt_dialog_window.h"
#include "platform/qt/qt_toolkit.h"
#include "platform/qt/testing/test_application.h"

namespace morv::conformance {

class QtDriver : public ToolkitDriver {
 public:
  static constexpr const char* kName = "Qt";

  QtDriver() { App(); }
  Toolkit& Get() override { return m_toolkit; }

  int Run(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler,
          std::vector<OperatorStep> steps) override {
    WindowCatcher catcher(handler);
    WhenModal([&](QWidget& window) {
      for (const auto& step : steps) {
        // What the step before left queued (keys typed during its handler) is
        // handled first, as the dialog's loop would before the operator acts again.
        QCoreApplication::sendPostedEvents();
        switch (step.kind) {
          case OperatorStep::Kind::Look: step.look(*catcher.window); break;
          case OperatorStep::Kind::Press:
            Type(QApplication::focusWidget() ? QApplication::focusWidget() : &window, step.key);
            break;
          case OperatorStep::Kind::Click:
            QTest::mouseClick(window.findChild<QWidget*>(qt::ControlObjectName(step.id)), Qt::LeftButton);
            break;
        }
      }
      catcher.window->EndDialog(IDCANCEL);
    });
    return m_toolkit.DoModal(dialog, resources, catcher);
  }

  void KeyDuringWait(OperatorKey key) override {
    QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : QApplication::activeModalWidget();
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyPress, QtKey(key), Qt::NoModifier));
    QCoreApplication::postEvent(target, new QKeyEvent(QEvent::KeyRelease, QtKey(key), Qt::NoModifier));
  }

  /// The dialog marked for painting (the offscreen platform sends no exposures);
  /// the paint events its widgets get from then on are counted.
  void Uncover() override {
    m_paints.reset();
    m_paints = std::make_unique<PaintCounter>(QApplication::activeModalWidget());
    QApplication::activeModalWidget()->update();
  }
  bool Repainted() override { return m_paints && m_paints->count > 0; }

  BoxSeen ShowBox(const std::string& text, const std::string& caption, unsigned type,
                  std::vector<KeyStroke> keys) override {
    BoxSeen seen;
    WhenModal([&](QWidget& window) {
      auto& box = dynamic_cast<QMessageBox&>(window);
      for (QAbstractButton* button : box.buttons()) seen.buttons.push_back(Result(box.standardButton(button)));
      std::sort(seen.buttons.begin(), seen.buttons.end());
      if (box.defaultButton()) seen.defaultButton = Result(box.standardButton(box.defaultButton()));
      // The title bar must hold the caption and, beside it, the window icon and
      // the title buttons that window managers draw.
      QFontMetrics metrics(box.font());
      seen.captionWhole = box.width() >= metrics.horizontalAdvance(box.windowTitle()) + 6 * metrics.height();
      for (KeyStroke key : keys) {
        if (!box.isVisible()) break;
        Type(QApplication::focusWidget() ? QApplication::focusWidget() : &box, key);
      }
    });
    seen.result = m_toolkit.MessageBox(text, caption, type);
    return seen;
  }

 private:
  static QApplication& App() { return qt::TestApplication(); }

  /// A key pressed and let go; a repeat as X11 sends it while the key is held: a
  /// press and a release, both marked auto-repeated.
  static void Type(QWidget* target, KeyStroke stroke) {
    if (!stroke.repeat) return QTest::keyClick(target, QtKey(stroke.key));
    QTest::simulateEvent(target, true, QtKey(stroke.key), Qt::NoModifier, QString(), true);
    QTest::simulateEvent(target, false, QtKey(stroke.key), Qt::NoModifier, QString(), true);
  }

  /// Runs `step` once the dialog (or box) now opening waits for input, active. A
  /// timer, not a posted call: a box throws away what is typed before its loop runs,
  /// and processes posted calls while it does.
  static void WhenModal(std::function<void(QWidget&)> step) {
    QTimer::singleShot(std::chrono::milliseconds(1), &App(), [step = std::move(step)] {
      QWidget* modal = QApplication::activeModalWidget();
      modal->activateWindow();
      if (!QTest::qWaitForWindowActive(modal)) ADD_FAILURE() << "the window never became active";
      step(*modal);
    });
  }

  static Qt::Key QtKey(OperatorKey key) {
    switch (key) {
      case OperatorKey::Tab: return Qt::Key_Tab;
      case OperatorKey::Escape: return Qt::Key_Escape;
      case OperatorKey::Enter: return Qt::Key_Return;
      case OperatorKey::Up: return Qt::Key_Up;
      case OperatorKey::Down: return Qt::Key_Down;
    }
    return Qt::Key_unknown;
  }

  static int Result(QMessageBox::StandardButton button) {
    static const std::map<QMessageBox::StandardButton, int> kResults = {
        {QMessageBox::Ok, IDOK},       {QMessageBox::Cancel, IDCANCEL}, {QMessageBox::Abort, IDABORT},
        {QMessageBox::Retry, IDRETRY}, {QMessageBox::Ignore, IDIGNORE}, {QMessageBox::Yes, IDYES},
        {QMessageBox::No, IDNO},
    };
    auto it = kResults.find(button);
    return it == kResults.end() ? 0 : it->second;
  }

  /// Counts the paint events of a window and its widgets.
  struct PaintCounter : QObject {
    explicit PaintCounter(QWidget* window) : m_window(window) { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* receiver, QEvent* event) override {
      auto* widget = qobject_cast<QWidget*>(receiver);
      if (event->type() == QEvent::Paint && widget && widget->window() == m_window) ++count;
      return false;
    }
    QWidget* m_window;
    int count = 0;
  };

  qt::QtToolkit m_toolkit;
  std::unique_ptr<PaintCounter> m_paints;
};

}  // namespace morv::conformance
