#include "platform/regular_file.h"

#include <cstring>

namespace morv {

std::string RegularFileErrorText(int error) {
  return error == kNotRegularFile ? "Not a regular file" : std::strerror(error);
}

}  // namespace morv
