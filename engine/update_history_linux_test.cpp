// The history log on Linux: its default place under the XDG state folder, and whole
// lines from two processes appending to one log at once.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "engine/testing/history_records.h"
#include "engine/testing/temp_directory.h"
#include "engine/update_history.h"

namespace morv {
namespace {

using testing::Completed;
using testing::Lines;

TEST(HistoryLog, DefaultPathFollowsXdgStateHome) {
  const char* saved = std::getenv("XDG_STATE_HOME");
  const std::string previous = saved ? saved : "";
  setenv("XDG_STATE_HOME", "/var/tmp/state", 1);
  EXPECT_EQ(HistoryLog::DefaultPath(), "/var/tmp/state/morvantide/history.log");
  setenv("XDG_STATE_HOME", "relative/state", 1);  // not absolute: ignored
  EXPECT_EQ(HistoryLog::DefaultPath(), std::string(std::getenv("HOME")) + "/.local/state/morvantide/history.log");
  unsetenv("XDG_STATE_HOME");
  EXPECT_EQ(HistoryLog::DefaultPath(), std::string(std::getenv("HOME")) + "/.local/state/morvantide/history.log");
  if (saved) setenv("XDG_STATE_HOME", previous.c_str(), 1);
}

// Both programs appending to one log at once: every line arrives whole, none mixed.
TEST(HistoryLog, ConcurrentAppendsFromBothProgramsKeepWholeLines) {
  testing::TempDirectory dir;
  const std::string path = dir.Path("history.log");
  constexpr int kLinesEach = 400;
  UpdateRecord record = Completed();
  record.outcome = std::string(300, 'x');  // longer lines make a mix likelier
  std::vector<pid_t> children;
  for (const char* program : {"MorvantideNT", "Morvantide4"}) {
    const pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      HistoryLog log(path, program);
      for (int i = 0; i < kLinesEach; ++i) log.Append(record);
      _exit(log.Failures().empty() ? 0 : 1);
    }
    children.push_back(pid);
  }
  for (pid_t pid : children) {
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  }
  std::map<std::string, int> perProgram;
  for (const std::string& line : Lines(path)) {
    const std::string program = line.substr(line.find("\tprogram=") + 9, line.find("\tdrive=") - line.find("\tprogram=") - 9);
    ASSERT_EQ(line + "\n", HistoryLine(program, record)) << "a torn or mixed line";
    ++perProgram[program];
  }
  EXPECT_EQ(perProgram, (std::map<std::string, int>{{"Morvantide4", kLinesEach}, {"MorvantideNT", kLinesEach}}));
}

}  // namespace
}  // namespace morv
