// The update end to end as the kernel sees it: SIGTERM during the download is held
// until the update has ended, in both programs and whichever thread it reaches.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <string>

#include "apps/testing/update_end_to_end_rig.h"
#include "platform/private_profile.h"
#include "platform/termination_close_request.h"

namespace morv {
namespace {

using namespace testing;

// SIGTERM during Morvantide4's download (it pumps, so the dialog's loop is close by)
// is held until the update has ended: every piece is written and the completion
// reported, and only then is the dialog closed as the close box does, which writes
// the profile.
TEST(UpdateEndToEnd4, SigtermDuringTheDownloadClosesTheDialogOnceTheUpdateHasEnded) {
  TerminationCloseRequest closeRequest;
  Four run;
  run.toolkit.closeRequest = &closeRequest;
  bool requestedDuringTheUpdate = true;
  run.beforePress = [&] {
    DeliverDuringWrite(run, 7, {Act::Inspect([](ScriptedWindow&) { kill(getpid(), SIGTERM); })},
                       [&](ScriptedWindow&) { requestedDuringTheUpdate = closeRequest.Requested(); });
  };
  const std::string profilePath = PrivateProfile::DefaultPath(Program4Rig::kName);
  run.PressUpdateStart();
  EXPECT_FALSE(requestedDuringTheUpdate);
  ExpectDownload(run, testing::RegionCombinations().back().pieces);
  EXPECT_EQ(run.Boxes(), (Strings{"Firmware Update Execute ?", "Firmware Update Complete"}));
  const Strings events = run.toolkit.events;
  const auto complete = std::find_if(events.begin(), events.end(), [](const std::string& e) {
    return e.find("Firmware Update Complete") != std::string::npos && e.rfind("box", 0) == 0;
  });
  const auto close = std::find(events.begin(), events.end(), "close request");
  EXPECT_LT(complete, close) << "closed only after the update";
  EXPECT_EQ(run.toolkit.windows.at(0)->result, IDCANCEL);
  EXPECT_TRUE(std::filesystem::exists(profilePath)) << profilePath;
  EXPECT_EQ(TerminationCloseRequest::NotedSignal(), SIGTERM);
}

/// How a forked update ended: the marks it wrote, and its wait status.
struct SignalledChild {
  std::string marks;
  int status = 0;
};

/// Forks; the child runs `update` with the write end of a mark pipe and the read end
/// of a go pipe, and must wait on the go pipe after its `before`th mark. The parent
/// sends the child SIGTERM once `before` marks have arrived, lets it go on, and
/// collects the remaining marks and how it ended.
SignalledChild SigtermAfterMarks(size_t before, const std::function<void(int marks, int go)>& update) {
  int marks[2], go[2];
  if (pipe(marks) != 0 || pipe(go) != 0) {
    ADD_FAILURE() << "no pipes";
    return {};
  }
  pid_t child = fork();
  if (child == 0) {
    close(marks[0]);
    close(go[1]);
    update(marks[1], go[0]);
    (void)!write(marks[1], "x", 1);  // not reached: the held SIGTERM ends the process first
    _exit(0);
  }
  close(marks[1]);
  close(go[0]);
  SignalledChild ended;
  char c;
  while (ended.marks.size() < before && read(marks[0], &c, 1) == 1) ended.marks += c;
  kill(child, SIGTERM);
  (void)!write(go[1], "g", 1);
  close(go[1]);
  while (read(marks[0], &c, 1) == 1) ended.marks += c;
  close(marks[0]);
  waitpid(child, &ended.status, 0);
  return ended;
}

TEST(UpdateEndToEndNT, SigtermDuringTheDownloadTakesEffectAfterTheLastPiece) {
  const SignalledChild ended = SigtermAfterMarks(16, [](int marks, int go) {
    NT run;
    int writes = 0;
    run.program.system.beforeRequest = [&] {
      if (run.program.system.requests.back().spt.Cdb[0] != kOpWriteBuffer) return;
      char mark = 'w';
      (void)!write(marks, &mark, 1);
      // Halfway through, wait until the parent has sent its SIGTERM.
      if (++writes == 16) (void)!read(go, &mark, 1);
    };
    run.PressUpdateStart();
  });
  EXPECT_EQ(ended.marks, std::string(32, 'w'));
  EXPECT_TRUE(WIFSIGNALED(ended.status));
  EXPECT_EQ(WTERMSIG(ended.status), SIGTERM);
}

// Morvantide4 has a second thread (the bus completing requests), which the kernel may
// pick for a signal sent to the process; it is held all the same.
TEST(UpdateEndToEnd4, SigtermDuringTheDownloadTakesEffectAfterTheLastPiece) {
  const SignalledChild ended = SigtermAfterMarks(1, [](int marks, int go) {
    Four run;
    run.beforePress = [&] {
      DeliverDuringWrite(run, 16, {Act::Inspect([&](ScriptedWindow&) {
                           char mark = 'h';
                           (void)!write(marks, &mark, 1);
                           (void)!read(go, &mark, 1);
                         })},
                         [](ScriptedWindow&) {});
    };
    // The settling wait begins only after the last piece.
    run.steppingClock.onSleep = [&](uint32_t milliseconds) {
      if (milliseconds == kSettleStep && run.steppingClock.sleeps.size() == 2) (void)!write(marks, "s", 1);
    };
    run.PressUpdateStart();
  });
  EXPECT_EQ(ended.marks, "hs");
  EXPECT_TRUE(WIFSIGNALED(ended.status));
  EXPECT_EQ(WTERMSIG(ended.status), SIGTERM);
}

}  // namespace
}  // namespace morv
