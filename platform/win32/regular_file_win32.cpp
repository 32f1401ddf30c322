// The Windows part of opening regular files: the C runtime's _open in binary mode,
// then _fstat on the open descriptor refuses character devices (CON, NUL, COM1) and
// pipes.

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/regular_file.h"

namespace morv {

std::FILE* OpenRegularFile(const std::string& path, int& error) {
  const int fd = ::_open(path.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  struct _stat64 status {};
  if (::_fstat64(fd, &status) != 0) {
    error = errno;
    ::_close(fd);
    return nullptr;
  }
  if ((status.st_mode & _S_IFMT) != _S_IFREG) {
    error = (status.st_mode & _S_IFMT) == _S_IFDIR ? EISDIR : kNotRegularFile;
    ::_close(fd);
    return nullptr;
  }
  std::FILE* stream = ::_fdopen(fd, "rb");
  if (stream == nullptr) {
    error = errno;
    ::_close(fd);
  }
  return stream;
}

}  // namespace morv
