// The Linux part of appending to the state files: open(2) without following a link
// (a link planted at the log's place, or left dangling, is refused rather than
// written through or created), flock(2) for the writers' lock, and the XDG state folder.

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/append_file.h"
#include "platform/regular_file.h"

namespace morv {

int OpenForAppending(const std::string& path, int& error) {
  // O_NONBLOCK: a FIFO without a reader fails the open instead of waiting for one.
  const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY, 0644);
  struct stat status {};
  if (fd < 0) {
    error = errno;
    if (::lstat(path.c_str(), &status) == 0)
      error = S_ISLNK(status.st_mode) ? kSymbolicLink : S_ISREG(status.st_mode) ? error : kNotRegularFile;
    return -1;
  }
  if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
    error = S_ISDIR(status.st_mode) ? EISDIR : kNotRegularFile;
    ::close(fd);
    return -1;
  }
  return fd;
}

bool TryLockForAppending(int fd) { return ::flock(fd, LOCK_EX | LOCK_NB) == 0; }

std::string StateFilePath(const std::string& relative) {
  const char* xdg = std::getenv("XDG_STATE_HOME");
  if (xdg != nullptr && xdg[0] == '/') return std::string(xdg) + "/" + relative;
  const char* home = std::getenv("HOME");
  return std::string(home != nullptr ? home : ".") + "/.local/state/" + relative;
}

}  // namespace morv
