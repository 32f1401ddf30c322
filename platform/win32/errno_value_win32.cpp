// The Windows C runtime's error texts are a table of _sys_nerr entries whose gaps
// read "Unknown error".

#include <cstdlib>
#include <cstring>

#include "platform/pass_through_system.h"

namespace morv {

bool IsErrnoValue(int code) {
  return code >= 0 && code < _sys_nerr && std::strcmp(std::strerror(code), "Unknown error") != 0;
}

}  // namespace morv
