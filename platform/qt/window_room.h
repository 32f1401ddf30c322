#pragma once
// How much of the screen a window may take, so that none of it lies off the screen.

#include <QSize>

class QWidget;

namespace morv::qt {

/// The most the inside of a top-level `window` may take on its screen: the
/// screen's available area (without panels) less a title bar and the borders.
QSize WindowRoom(const QWidget& window);

}  // namespace morv::qt
