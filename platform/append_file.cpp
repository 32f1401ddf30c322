#include "platform/append_file.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace morv {

std::string AppendWholeLine(const std::string& path, const std::string& line) {
  std::error_code folderError;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, folderError);
  if (folderError) return "cannot create " + parent.string() + ": " + folderError.message();

  const int fd = OpenForAppending(path);
  if (fd < 0) return "cannot open " + path + ": " + std::strerror(errno);
  ssize_t written;
  do {
    written = ::write(fd, line.data(), line.size());
  } while (written < 0 && errno == EINTR);
  const int writeErrno = errno;
  std::string error;
  if (written < 0) {
    error = "cannot write " + path + ": " + std::strerror(writeErrno);
  } else if (static_cast<size_t>(written) != line.size()) {
    // A full disk took part of the line: cut that part off again (it ends where the
    // descriptor now stands), so the log keeps whole lines.
    const off_t end = ::lseek(fd, 0, SEEK_CUR);
    if (end >= written) (void)::ftruncate(fd, end - written);
    error = "cannot write " + path + ": " + std::strerror(ENOSPC);
  }
  if (::close(fd) != 0 && error.empty()) error = "cannot write " + path + ": " + std::strerror(errno);
  return error;
}

}  // namespace morv
