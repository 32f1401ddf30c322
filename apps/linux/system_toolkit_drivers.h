#pragma once
// The toolkits the conformance suite runs on Linux: Qt (offscreen) and the terminal
// on a scripted screen, besides the toolkits every system has.

#include "apps/conformance/qt_driver.h"
#include "apps/conformance/terminal_driver.h"

namespace morv::conformance {

template <typename... Everywhere>
using SystemToolkits = ::testing::Types<QtDriver, TerminalDriver, Everywhere...>;

}  // namespace morv::conformance
