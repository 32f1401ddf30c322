// The first thing each program does: closed standard descriptors are opened on
// /dev/null, and a reader that left a pipe does not end the process.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <csignal>
#include <cstdlib>
#include <string>

#include "apps/toolkit_host.h"

namespace morv {
namespace {

std::string Target(int fd) {
  char link[PATH_MAX] = "";
  const ssize_t n = readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), link, sizeof link - 1);
  return n > 0 ? std::string(link, static_cast<size_t>(n)) : "(closed)";
}

TEST(StandardStreams, ClosedOnesAreOpenedOnDevNullBeforeAnythingElseIsOpened) {
  // Each exit code of the child names the first check that failed.
  const pid_t pid = fork();
  if (pid == 0) {
    close(STDIN_FILENO);
    close(STDOUT_FILENO);
    ConnectStandardStreams();
    for (int fd : {STDIN_FILENO, STDOUT_FILENO})
      if (Target(fd) != "/dev/null") _exit(10 + fd);
    // A file (or the display's connection) opened now never takes standard output's place.
    if (open("/proc/self/status", O_RDONLY) <= STDERR_FILENO) _exit(20);
    struct sigaction pipe {};
    sigaction(SIGPIPE, nullptr, &pipe);
    if (pipe.sa_handler != SIG_IGN) _exit(30);
    _exit(0);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace morv
