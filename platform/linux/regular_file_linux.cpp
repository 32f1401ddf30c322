// The Linux part of opening regular files: O_NONBLOCK keeps the open of a FIFO
// without a writer from waiting; fstat on the open descriptor decides, so the name
// cannot be swapped between the check and the read.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/regular_file.h"

namespace morv {

std::FILE* OpenRegularFile(const std::string& path, int& error) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    error = errno;
    return nullptr;
  }
  struct stat status {};
  if (::fstat(fd, &status) != 0) {
    error = errno;
    ::close(fd);
    return nullptr;
  }
  if (!S_ISREG(status.st_mode)) {
    error = S_ISDIR(status.st_mode) ? EISDIR : kNotRegularFile;
    ::close(fd);
    return nullptr;
  }
  // Reads of a regular file never wait anyway; the flag only mattered for the open.
  (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  std::FILE* stream = ::fdopen(fd, "rb");
  if (stream == nullptr) {
    error = errno;
    ::close(fd);
  }
  return stream;
}

}  // namespace morv
