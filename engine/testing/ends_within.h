#pragma once
// Runs a check that could hang (a FIFO that blocks an open, an endless stream) in a
// child process, so that a hang fails one test instead of stopping the whole run.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <thread>

namespace morv::testing {

/// Runs `body` in a forked child and waits for it at most `limit`. Succeeds when the
/// child returned true in time; a child still running then is killed. The limit only
/// catches a hang: it is generous and measures nothing.
inline ::testing::AssertionResult EndsWithin(std::chrono::seconds limit, const std::function<bool()>& body) {
  const pid_t child = fork();
  if (child < 0) return ::testing::AssertionFailure() << "fork failed";
  if (child == 0) _exit(body() ? 0 : 1);
  const auto deadline = std::chrono::steady_clock::now() + limit;
  int status = 0;
  while (waitpid(child, &status, WNOHANG) == 0) {
    if (std::chrono::steady_clock::now() > deadline) {
      kill(child, SIGKILL);
      waitpid(child, &status, 0);
      return ::testing::AssertionFailure() << "still running after " << limit.count() << " s: it hangs";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "the check failed in the child (status " << status << ")";
}

}  // namespace morv::testing
