// The Linux part of appending to the state files: open(2) and the XDG state folder.

#include <fcntl.h>

#include <cstdlib>

#include "platform/append_file.h"

namespace morv {

int OpenForAppending(const std::string& path) {
  return ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
}

std::string StateFilePath(const std::string& relative) {
  const char* xdg = std::getenv("XDG_STATE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/" + relative;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : ".") + "/.local/state/" + relative;
}

}  // namespace morv
