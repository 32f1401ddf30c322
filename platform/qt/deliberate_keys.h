#pragma once
// Keys that answer a box or press a button must be pressed on purpose. A key held
// down past the keyboard's repeat delay arrives again and again, marked as
// auto-repeated (under X11 as press and release pairs); and keys typed while a
// handler worked wait in the queue until a box runs its loop.

#include <QObject>

namespace morv::qt {

/// Installed on the application for a toolkit's life: drops the auto-repeated
/// presses and releases of every key but those that only move (Tab and the arrow
/// and paging keys), before any widget or shortcut sees them.
class HeldKeyFilter : public QObject {
 public:
  bool eventFilter(QObject* receiver, QEvent* event) override;

 private:
  int m_releasedKey = 0;         ///< the key released last
  unsigned long long m_releasedAt = 0;  ///< its timestamp
};

/// Throws away the key events waiting to be processed now, for a box that has just
/// been shown and whose loop has not run yet: nothing typed before it answers it.
/// Processes what else is waiting (posted events, the window system's), but no
/// timer and no socket notifier.
void ThrowAwayTypedAhead();

}  // namespace morv::qt
