#include "platform/signal_hold.h"

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace morv {
namespace {

// Runs `body` in a forked child that reports its progress by writing marks to a pipe.
// Returns the marks and how the child ended.
struct ChildEnd {
  std::string marks;
  bool signalled = false;
  int signal = 0;
  int status = 0;
};

int g_marks = -1;
void Mark(char c) { (void)!write(g_marks, &c, 1); }

ChildEnd RunChild(const std::function<void()>& body) {
  int fds[2];
  if (pipe(fds) != 0) return {};
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    g_marks = fds[1];
    body();
    _exit(0);
  }
  close(fds[1]);
  ChildEnd end;
  char buffer[64];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) end.marks.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  end.signalled = WIFSIGNALED(status);
  end.signal = end.signalled ? WTERMSIG(status) : 0;
  end.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return end;
}

void MarkFromHandler(int) { Mark('h'); }

bool PendingOnThisThread(int signal) {
  sigset_t pending;
  sigpending(&pending);
  return sigismember(&pending, signal);
}

TEST(TerminationSignalHold, HeldSignalTakesEffectWhenTheHoldEnds) {
  for (int signal : TerminationSignalHold::kSignals) {
    SCOPED_TRACE(signal);
    ChildEnd end = RunChild([signal] {
      {
        TerminationSignalHold hold;
        kill(getpid(), signal);
        Mark('a');  // still running: the signal waits
      }
      Mark('b');  // never reached: the signal ended the process with the hold
    });
    EXPECT_EQ(end.marks, "a");
    EXPECT_TRUE(end.signalled);
    EXPECT_EQ(end.signal, signal);
  }
}

TEST(TerminationSignalHold, EarlierDispositionsMeetTheHeldSignal) {
  struct Case {
    const char* name;
    void (*disposition)(int);
    const char* marks;
  } cases[] = {
      // A toolkit's own handler (restoring the terminal, say) runs once the hold ends.
      {"handler", &MarkFromHandler, "ahb"},
      {"ignored", SIG_IGN, "ab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ChildEnd end = RunChild([&c] {
      signal(SIGTERM, c.disposition);
      {
        TerminationSignalHold hold;
        kill(getpid(), SIGTERM);
        Mark('a');
      }
      Mark('b');
    });
    EXPECT_EQ(end.marks, c.marks);
    EXPECT_FALSE(end.signalled);
    EXPECT_EQ(end.status, 0);
  }
}

TEST(TerminationSignalHold, SignalTakenByAnotherThreadIsHeldToo) {
  // Toolkits run threads of their own that do not block anything; the kernel gives a
  // process-directed signal to one of them while the holder blocks it.
  ChildEnd end = RunChild([] {
    std::thread other([] {
      for (;;) pause();
    });
    other.detach();
    {
      TerminationSignalHold hold;
      kill(getpid(), SIGTERM);
      const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (!PendingOnThisThread(SIGTERM) && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
      Mark(PendingOnThisThread(SIGTERM) ? 'a' : 'x');
    }
    Mark('b');
  });
  EXPECT_EQ(end.marks, "a");
  EXPECT_EQ(end.signal, SIGTERM);
}

TEST(TerminationSignalHold, NestedHoldsReleaseOnlyWithTheOutermost) {
  ChildEnd end = RunChild([] {
    {
      TerminationSignalHold outer;
      {
        TerminationSignalHold inner;
        kill(getpid(), SIGINT);
      }
      Mark('a');
    }
    Mark('b');
  });
  EXPECT_EQ(end.marks, "a");
  EXPECT_EQ(end.signal, SIGINT);
}

}  // namespace
}  // namespace morv
