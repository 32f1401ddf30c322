// The Windows part of appending to the state files: the C runtime's _open in binary
// mode (the lines keep their single line feed) and the local application data folder.

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cstdlib>

#include "platform/append_file.h"

namespace morv {

int OpenForAppending(const std::string& path) {
  return ::_open(path.c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
}

std::string StateFilePath(const std::string& relative) {
  const char* folder = std::getenv("LOCALAPPDATA");
  return std::string(folder != nullptr && folder[0] != '\0' ? folder : ".") + "/" + relative;
}

}  // namespace morv
