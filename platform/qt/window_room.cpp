#include "platform/qt/window_room.h"

#include <QScreen>
#include <QStyle>
#include <QWidget>

namespace morv::qt {

QSize WindowRoom(const QWidget& window) {
  // The frame is the window manager's and unknown before the window is shown: the
  // style's title bar and frame of a window inside a window stand for it.
  const QStyle* style = window.style();
  const int border = style->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth);
  const int titleBar = style->pixelMetric(QStyle::PM_TitleBarHeight);
  return window.screen()->availableGeometry().size() - QSize(2 * border, titleBar + 2 * border);
}

}  // namespace morv::qt
