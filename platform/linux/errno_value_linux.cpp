// glibc knows which errno values it has a text for.

#include <cstring>

#include "platform/pass_through_system.h"

namespace morv {

bool IsErrnoValue(int code) { return strerrordesc_np(code) != nullptr; }

}  // namespace morv
