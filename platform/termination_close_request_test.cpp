#include "platform/termination_close_request.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>

#include "platform/signal_hold.h"

namespace morv {
namespace {

/// Runs `body` in a forked child; returns its wait status. The child's exit status
/// says which check failed (0 none).
int InChild(const std::function<int()>& body) {
  pid_t pid = fork();
  if (pid == 0) _exit(body());
  int status = 0;
  waitpid(pid, &status, 0);
  return status;
}

// While a request exists the signals only note themselves, twice or held alike; once
// the program has closed down it ends by the first one, with the default action.
TEST(TerminationCloseRequest, SignalsAreNotedThenEndTheProcessWhenAsked) {
  for (int signal : TerminationCloseRequest::kSignals) {
    SCOPED_TRACE(signal);
    int status = InChild([signal] {
      {
        TerminationCloseRequest request;
        if (request.Requested()) return 1;
        {
          TerminationSignalHold hold;  // an update: the signal waits for its end
          kill(getpid(), signal);
          if (request.Requested()) return 2;
        }
        if (!request.Requested()) return 3;
        kill(getpid(), signal);  // a second one while closing changes nothing
        if (!request.Requested() || TerminationCloseRequest::NotedSignal() != signal) return 4;
        char byte;
        if (read(request.WakeFd(), &byte, 1) > 0) return 5;  // emptied by Requested()
      }
      TerminationCloseRequest::EndBySignalNoted();
      return 6;  // not reached
    });
    EXPECT_TRUE(WIFSIGNALED(status)) << "exit " << WEXITSTATUS(status);
    EXPECT_EQ(WTERMSIG(status), signal);
  }
}

TEST(TerminationCloseRequest, OnlyOneAtATimeAndEarlierHandlersComeBack) {
  int status = InChild([] {
    signal(SIGHUP, SIG_IGN);
    {
      TerminationCloseRequest request;
      try {
        TerminationCloseRequest second;
        return 1;
      } catch (const std::logic_error&) {
      }
    }
    struct sigaction now {};
    sigaction(SIGHUP, nullptr, &now);
    if (now.sa_handler != SIG_IGN) return 2;
    TerminationCloseRequest::EndBySignalNoted();  // nothing noted: returns
    return 0;
  });
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

}  // namespace
}  // namespace morv
