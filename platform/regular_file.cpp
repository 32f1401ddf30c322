#include "platform/regular_file.h"

#include <cstring>

namespace morv {

std::string RegularFileErrorText(int error) {
  if (error == kNotRegularFile) return "Not a regular file";
  if (error == kSymbolicLink) return "A symbolic link, which is not followed";
  return std::strerror(error);
}

}  // namespace morv
