#include "platform/qt/display_probe.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>

namespace morv::qt {

bool DisplayOpens(char* programPath) {
  pid_t child = ::fork();
  if (child < 0) return true;  // cannot tell: let Qt try in earnest
  if (child == 0) {
    // Qt's own complaint would be a confusing second message: the caller says
    // what happens instead.
    int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) ::dup2(null, STDERR_FILENO);
    int argc = 1;
    char* argv[] = {programPath, nullptr};
    QGuiApplication application(argc, argv);
    ::_exit(0);
  }
  int status = 0;
  while (::waitpid(child, &status, 0) < 0) {
    if (errno != EINTR) return true;
  }
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace morv::qt
