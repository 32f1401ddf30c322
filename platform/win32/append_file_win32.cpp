// The Windows part of appending to the state files: the C runtime's _open in binary
// mode (the lines keep their single line feed), a byte-range lock far beyond any log's
// end as the writers' lock (it never blocks writing the log itself), and the local
// application data folder.

#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdlib>

#include "platform/append_file.h"
#include "platform/regular_file.h"

namespace morv {

int OpenForAppending(const std::string& path, int& error) {
  const int fd = ::_open(path.c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY | _O_NOINHERIT, _S_IREAD | _S_IWRITE);
  if (fd < 0) {
    error = errno;
    return -1;
  }
  struct _stat64 status {};
  if (::_fstat64(fd, &status) != 0 || (status.st_mode & _S_IFMT) != _S_IFREG) {
    error = kNotRegularFile;
    ::_close(fd);
    return -1;
  }
  return fd;
}

bool TryLockForAppending(int fd) {
  const HANDLE file = reinterpret_cast<HANDLE>(::_get_osfhandle(fd));
  if (file == INVALID_HANDLE_VALUE) return false;
  OVERLAPPED at{};
  at.OffsetHigh = 0x7FFFFFFF;  // one byte no log reaches; closing the file releases it
  return LockFileEx(file, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &at) != 0;
}

std::string StateFilePath(const std::string& relative) {
  const char* folder = std::getenv("LOCALAPPDATA");
  return std::string(folder != nullptr && folder[0] != '\0' ? folder : ".") + "/" + relative;
}

}  // namespace morv
