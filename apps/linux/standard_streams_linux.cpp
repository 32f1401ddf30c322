// Standard streams on Linux: closed ones opened on /dev/null, a closed pipe an error.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

#include "apps/toolkit_host.h"

namespace morv {

void ConnectStandardStreams() {
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    if (::fcntl(fd, F_GETFD) >= 0 || errno != EBADF) continue;
    // The lowest free number: the closed one itself, as the lower ones are open.
    const int opened = ::open("/dev/null", fd == STDIN_FILENO ? O_RDONLY : O_WRONLY);
    if (opened >= 0 && opened != fd) {
      ::dup2(opened, fd);
      ::close(opened);
    }
  }
  ::signal(SIGPIPE, SIG_IGN);
}

}  // namespace morv
