#include "platform/linux/sg_queue.h"

#include <unistd.h>

#include <cerrno>

namespace morv::sg {

int SubmitHeader(int fd, const sg_io_hdr_t& header) {
  ssize_t written;
  do written = ::write(fd, &header, sizeof header);
  while (written < 0 && errno == EINTR);
  return written < 0 ? errno : 0;
}

int ReadAnswer(int fd, sg_io_hdr_t& answer) {
  answer.interface_id = 'S';
  ssize_t n;
  do n = ::read(fd, &answer, sizeof answer);
  while (n < 0 && errno == EINTR);
  if (n < 0) return errno;
  return n == static_cast<ssize_t>(sizeof answer) ? 0 : EIO;
}

}  // namespace morv::sg
