#pragma once
// The one QApplication of a test program, on the offscreen platform unless the
// environment names another.

#include <QApplication>

namespace morv::qt {

inline QApplication& TestApplication() {
  static int argc = 1;
  static char name[] = "morvantide_qt_test";
  static char* argv[] = {name, nullptr};
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace morv::qt
