#include "platform/qt/deliberate_keys.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace morv::qt {
namespace {

bool IsKeyEvent(const QEvent* event) {
  return event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease ||
         event->type() == QEvent::ShortcutOverride;
}

bool OnlyMoves(int key) {
  switch (key) {
    case Qt::Key_Tab: case Qt::Key_Backtab: case Qt::Key_Up: case Qt::Key_Down: case Qt::Key_Left:
    case Qt::Key_Right: case Qt::Key_Home: case Qt::Key_End: case Qt::Key_PageUp: case Qt::Key_PageDown:
      return true;
    default:
      return false;
  }
}

/// Drops every key event while it is installed.
class DropKeys : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (!IsKeyEvent(event)) return false;
    // A shortcut override taken by its receiver keeps the key from any shortcut.
    event->accept();
    return true;
  }
};

}  // namespace

bool HeldKeyFilter::eventFilter(QObject*, QEvent* event) {
  if (!IsKeyEvent(event)) return false;
  auto* key = static_cast<QKeyEvent*>(event);
  // X11 sends a held key as release and press pairs with one timestamp. Qt marks
  // them auto-repeated only when it finds the press already queued as it handles
  // the release, which a busy program misses: a press at the very time of its
  // key's release is a repeat all the same.
  bool repeat = key->isAutoRepeat() || (event->type() != QEvent::KeyRelease && key->timestamp() != 0 &&
                                        key->key() == m_releasedKey && key->timestamp() == m_releasedAt);
  if (event->type() == QEvent::KeyRelease) {
    m_releasedKey = key->key();
    m_releasedAt = key->timestamp();
  }
  if (!repeat || OnlyMoves(key->key())) return false;
  event->accept();
  return true;
}

void ThrowAwayTypedAhead() {
  DropKeys drop;
  QCoreApplication::instance()->installEventFilter(&drop);
  QCoreApplication::processEvents(QEventLoop::ExcludeSocketNotifiers | QEventLoop::X11ExcludeTimers);
  QCoreApplication::instance()->removeEventFilter(&drop);
}

}  // namespace morv::qt
