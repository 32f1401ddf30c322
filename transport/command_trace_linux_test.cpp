// A trace into a pipe whose reader left: the program survives it (SIGPIPE is
// ignored, as the programs do from their start) and says so once.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "transport/command_trace.h"

namespace morv {
namespace {

TEST(CommandTraceLinux, AReaderThatLeftThePipeEndsTheTraceWithOneLine) {
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const std::string path = "/proc/self/fd/" + std::to_string(fds[1]);
  std::string error;
  auto trace = CommandTrace::Open(path, error);
  ASSERT_TRUE(trace) << error;
  close(fds[1]);
  close(fds[0]);  // the reader leaves, as `head -1` does
  auto* previous = signal(SIGPIPE, SIG_IGN);
  const uint8_t cdb[6] = {};
  testing::internal::CaptureStderr();
  for (int i = 0; i < 3; ++i) trace->Record("E:", cdb, sizeof cdb, 0, DataDirection::None, "status=00");
  const std::string said = testing::internal::GetCapturedStderr();
  signal(SIGPIPE, previous);
  EXPECT_EQ(said, "cannot write trace file " + path + ": Broken pipe; no further commands are traced\n");
}

}  // namespace
}  // namespace morv
