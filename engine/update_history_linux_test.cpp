// The history log on Linux: its default place under the XDG state folder, whole
// lines from two processes appending to one log at once, what is not a regular file
// at its place, the writers' lock and a line cut short by the file size limit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <functional>
#include <thread>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "engine/testing/ends_within.h"
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
      HistoryLog log(path, program, DriveKind::Real);
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
    ASSERT_EQ(line + "\n", HistoryLine(program, DriveKind::Real, record)) << "a torn or mixed line";
    ++perProgram[program];
  }
  EXPECT_EQ(perProgram, (std::map<std::string, int>{{"Morvantide4", kLinesEach}, {"MorvantideNT", kLinesEach}}));
}

std::string Contents(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whatever sits at the log's place and is not a regular file of its own is left alone:
// the append neither waits on it nor writes or creates anything through it.
TEST(HistoryLog, OnlyARegularFileAtItsPlaceIsWritten) {
  namespace fs = std::filesystem;
  const struct {
    const char* what;
    std::function<void(const testing::TempDirectory&)> make;
    std::string reason;
  } kCases[] = {
      {"a FIFO without a reader", [](const testing::TempDirectory& d) { mkfifo(d.Path("history.log").c_str(), 0644); },
       "Not a regular file"},
      {"a FIFO with a reader",
       [](const testing::TempDirectory& d) {
         mkfifo(d.Path("history.log").c_str(), 0644);
         (void)open(d.Path("history.log").c_str(), O_RDONLY | O_NONBLOCK);  // stays open in the child
       },
       "Not a regular file"},
      {"a link to a file", [](const testing::TempDirectory& d) { fs::create_symlink(d.Write("other", "kept\n"), d.Path("history.log")); },
       "A symbolic link, which is not followed"},
      {"a dangling link", [](const testing::TempDirectory& d) { fs::create_symlink(d.Path("planted"), d.Path("history.log")); },
       "A symbolic link, which is not followed"},
  };
  for (const auto& c : kCases) {
    testing::TempDirectory dir;
    c.make(dir);
    const std::string path = dir.Path("history.log");
    EXPECT_TRUE(testing::EndsWithin(std::chrono::seconds(60), [&] {
      HistoryLog log(path, "MorvantideNT", DriveKind::Real);
      log.Append(Completed());
      return log.Failures() == std::vector<std::string>{"the update was not recorded in the history: cannot open " +
                                                        path + ": " + c.reason};
    })) << c.what;
    EXPECT_FALSE(fs::exists(dir.Path("planted"))) << c.what;
    EXPECT_EQ(Contents(dir.Path("other")), fs::exists(dir.Path("other")) ? "kept\n" : "") << c.what;
  }
}

// A writer appends only under the writers' lock: while another holds it, nothing is
// written, and once it is free the line goes in whole.
TEST(HistoryLog, AppendsOnlyUnderTheWritersLock) {
  testing::TempDirectory dir;
  const std::string path = dir.Write("history.log", "first\n");
  const int holder = open(path.c_str(), O_RDONLY);
  ASSERT_EQ(flock(holder, LOCK_EX), 0);
  HistoryLog held(path, "MorvantideNT", DriveKind::Real);
  held.Append(Completed());
  EXPECT_EQ(held.Failures(), std::vector<std::string>{"the update was not recorded in the history: cannot lock " + path +
                                                      ": another program keeps it locked"});
  EXPECT_EQ(Contents(path), "first\n");

  std::thread release([holder] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    close(holder);
  });
  HistoryLog waiting(path, "MorvantideNT", DriveKind::Real);
  waiting.Append(Completed());
  release.join();
  EXPECT_TRUE(waiting.Failures().empty());
  EXPECT_EQ(Contents(path), "first\n" + HistoryLine("MorvantideNT", DriveKind::Real, Completed()));
}

// A line that the file size limit cuts short is taken back: the log keeps its lines
// and ends where it ended before.
TEST(HistoryLog, ALineCutShortIsTakenBack) {
  testing::TempDirectory dir;
  const std::string path = dir.Write("history.log", "first\n");
  EXPECT_TRUE(testing::EndsWithin(std::chrono::seconds(60), [&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{16, 16};  // "first\n" and 10 bytes of the new line
    setrlimit(RLIMIT_FSIZE, &limit);
    HistoryLog log(path, "Morvantide4", DriveKind::Real);
    log.Append(Completed());
    return log.Failures().size() == 1;
  }));
  EXPECT_EQ(Contents(path), "first\n");
}

}  // namespace
}  // namespace morv
