// The update sequence as the kernel sees it: a termination signal that arrives during
// the download is held until the last piece has been sent and the drive has settled.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "engine/testing/update_rig.h"
#include "engine/update_sequence.h"

namespace morv {
namespace {

using testing::UpdateRig;

// Marks written by a forked child to tell its parent how far it got.
int g_marks = -1;
void Mark(char c) { (void)!write(g_marks, &c, 1); }

TEST(UpdateSequence, TerminationSignalDuringTheDownloadTakesEffectAfterTheLastPiece) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  pid_t pid = fork();
  if (pid == 0) {
    close(fds[0]);
    g_marks = fds[1];
    UpdateRig rig(ProgramKind::NT, {true, false, false});
    int writes = 0;
    rig.transport.onRequest = [&writes](const TransportRequest& request) {
      if (request.dataLength != kBlockSize) return;
      Mark('w');
      if (++writes == 2) kill(getpid(), SIGTERM);
    };
    rig.clock.onSleep = [](uint32_t milliseconds) { Mark(milliseconds == kSettleStep ? 's' : 'p'); };
    rig.selection.onUpdateRunning = [](bool running) { Mark(running ? 'b' : 'e'); };
    rig.Run();
    Mark('x');  // not reached: the held SIGTERM ends the process as the update returns
    _exit(0);
  }
  close(fds[1]);
  std::string marks;
  char buffer[64];
  for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) marks.append(buffer, n);
  close(fds[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  EXPECT_EQ(marks, "bp" "wwww" + std::string(kSettleTime / kSettleStep, 's') + "e");
  EXPECT_TRUE(WIFSIGNALED(status));
  EXPECT_EQ(WTERMSIG(status), SIGTERM);
}

}  // namespace
}  // namespace morv
