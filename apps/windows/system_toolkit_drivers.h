#pragma once
// The toolkit the conformance suite runs on Windows: the system's own dialogs,
// besides the toolkits every system has.

#include "apps/conformance/win32_driver.h"

namespace morv::conformance {

template <typename... Everywhere>
using SystemToolkits = ::testing::Types<Win32Driver, Everywhere...>;

}  // namespace morv::conformance
