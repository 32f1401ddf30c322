// What reading an answer gives for each state of a non-blocking descriptor: the
// backends wait on EAGAIN and give a node up on anything else.
#include "platform/linux/sg_queue.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>

namespace morv::sg {
namespace {

TEST(SgReadAnswer, WholeHeaderNoneWaitingShortOrEnded) {
  struct Case {
    const char* what;
    size_t written;  // bytes in the pipe before the read
    bool writerOpen;
    int error;
  } cases[] = {
      {"a whole header", sizeof(sg_io_hdr_t), true, 0},
      {"nothing yet", 0, true, EAGAIN},
      {"part of a header", 8, true, EIO},
      {"nobody left to answer", 0, false, EIO},
  };
  for (const Case& c : cases) {
    int fds[2];
    ASSERT_EQ(::pipe2(fds, O_NONBLOCK), 0);
    sg_io_hdr_t sent{};
    sent.status = 0x02;
    ASSERT_EQ(::write(fds[1], &sent, c.written), static_cast<ssize_t>(c.written));
    if (!c.writerOpen) ::close(fds[1]);
    sg_io_hdr_t answer{};
    EXPECT_EQ(ReadAnswer(fds[0], answer), c.error) << c.what;
    if (c.error == 0) {
      EXPECT_EQ(answer.status, 0x02) << "the results come back";
    }
    ::close(fds[0]);
    if (c.writerOpen) ::close(fds[1]);
  }
}

}  // namespace
}  // namespace morv::sg
