#include "platform/signal_hold.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
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
  int signal = 0;  ///< the signal that ended or stopped the child
  bool stopped = false;
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
    const rlimit noCore{0, 0};
    setrlimit(RLIMIT_CORE, &noCore);
    // A group of its own whose parent is outside it: the kernel discards stop
    // signals sent to an orphaned group, as the test's group may be.
    setpgid(0, 0);
    body();
    _exit(0);
  }
  close(fds[1]);
  ChildEnd end;
  // The marks are few: they wait in the pipe until the child has ended or stopped.
  int status = 0;
  waitpid(pid, &status, WUNTRACED);
  if (WIFSTOPPED(status)) {
    end.stopped = true;
    end.signal = WSTOPSIG(status);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
  } else {
    end.signalled = WIFSIGNALED(status);
    end.signal = end.signalled ? WTERMSIG(status) : 0;
  }
  char buffer[64];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) end.marks.append(buffer, n);
  close(fds[0]);
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
  // Every signal that ends or stops a process from outside: the terminal's keys and
  // hang-up, a shell's kill, a reader that left a pipe, resource limits and timers.
  struct Case {
    int signal;
    bool stops;
  } cases[] = {{SIGINT, false},  {SIGTERM, false}, {SIGHUP, false},    {SIGQUIT, false},   {SIGPIPE, false},
               {SIGXFSZ, false}, {SIGXCPU, false}, {SIGUSR1, false},   {SIGUSR2, false},   {SIGALRM, false},
               {SIGVTALRM, false}, {SIGPROF, false}, {SIGPWR, false},  {SIGSTKFLT, false}, {SIGPOLL, false},
               {SIGRTMIN, false}, {SIGRTMAX, false}, {SIGTSTP, true},  {SIGTTIN, true},    {SIGTTOU, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(strsignal(c.signal));
    ChildEnd end = RunChild([&c] {
      {
        TerminationSignalHold hold;
        kill(getpid(), c.signal);
        Mark('a');  // still running: the signal waits
      }
      Mark('b');  // never reached: the signal ended or stopped the process with the hold
    });
    EXPECT_EQ(end.marks, "a");
    EXPECT_EQ(end.signalled, !c.stops);
    EXPECT_EQ(end.stopped, c.stops);
    EXPECT_EQ(end.signal, c.signal);
  }
}

TEST(TerminationSignalHold, ActiveOnlyWhileAHoldExists) {
  EXPECT_FALSE(TerminationSignalHold::Active());
  {
    TerminationSignalHold hold;
    EXPECT_TRUE(TerminationSignalHold::Active());
  }
  EXPECT_FALSE(TerminationSignalHold::Active());
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
