#include "platform/append_file.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <system_error>
#include <thread>

#include "platform/regular_file.h"

namespace morv {
namespace {

/// Another writer holds the lock only for one write; waiting longer than this means it
/// hangs, and the update must not.
constexpr auto kLockWait = std::chrono::seconds(2);
constexpr auto kLockRetry = std::chrono::milliseconds(10);

bool LockWithin(int fd) {
  const auto deadline = std::chrono::steady_clock::now() + kLockWait;
  while (!TryLockForAppending(fd)) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(kLockRetry);
  }
  return true;
}

long long FileSize(int fd) {
  struct stat status {};
  return ::fstat(fd, &status) == 0 ? static_cast<long long>(status.st_size) : -1;
}

/// Takes back the `written` bytes of a line cut short, which start at `start`. Only
/// when the file still ends with them is it cut back to `start`; if anything came
/// after them (a writer that does not lock), the part is ended with a line feed
/// instead, so no other line is touched.
void TakeBackPart(int fd, long long start, long long written) {
  if (FileSize(fd) == start + written && ::ftruncate(fd, static_cast<off_t>(start)) == 0) return;
  (void)::write(fd, "\n", 1);
}

std::string WriteLocked(int fd, const std::string& path, const std::string& line) {
  const long long start = FileSize(fd);
  long long written;
  do {
    written = ::write(fd, line.data(), line.size());
  } while (written < 0 && errno == EINTR);
  if (written < 0) return "cannot write " + path + ": " + RegularFileErrorText(errno);
  if (static_cast<size_t>(written) == line.size()) return {};
  // A full disk or the file size limit took part of the line.
  if (written > 0 && start >= 0) TakeBackPart(fd, start, written);
  return "cannot write " + path + ": " + RegularFileErrorText(ENOSPC);
}

}  // namespace

std::string AppendWholeLine(const std::string& path, const std::string& line) {
  std::error_code folderError;
  const std::filesystem::path parent = std::filesystem::path(path).parent_path();
  if (!parent.empty()) std::filesystem::create_directories(parent, folderError);
  if (folderError) return "cannot create " + parent.string() + ": " + folderError.message();

  int openError = 0;
  const int fd = OpenForAppending(path, openError);
  if (fd < 0) return "cannot open " + path + ": " + RegularFileErrorText(openError);
  std::string error = LockWithin(fd) ? WriteLocked(fd, path, line)
                                     : "cannot lock " + path + ": another program keeps it locked";
  // Closing the descriptor releases the lock.
  if (::close(fd) != 0 && error.empty()) error = "cannot write " + path + ": " + RegularFileErrorText(errno);
  return error;
}

}  // namespace morv
