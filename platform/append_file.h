#pragma once
// Appending whole lines to a log that several processes share: each line goes out in
// one write to a descriptor opened for appending, under an advisory lock that every
// writer of the log takes, so lines of concurrent writers never mix and a full disk
// never leaves half a line behind (a short write is taken back while the lock shows
// that no other line has followed it).

#include <string>

namespace morv {

/// Appends `line` (which ends in a line feed) to the file at `path` in one write,
/// creating the file (mode 0644 less the umask) and its missing parent folders. The
/// file must be a regular file and, on Linux, not a symbolic link (none is followed
/// or created through). Waits for another writer's lock at most about two seconds.
/// Returns the empty text, or a one-line reason when the line was not appended.
std::string AppendWholeLine(const std::string& path, const std::string& line);

// Each operating system's backend (platform/linux/, platform/win32/) provides these:

/// Where the program keeps state between runs. Linux: "$XDG_STATE_HOME/<relative>",
/// or "$HOME/.local/state/<relative>" when XDG_STATE_HOME is unset or not absolute.
/// Windows: "%LOCALAPPDATA%/<relative>", the current folder when that is unset.
std::string StateFilePath(const std::string& relative);

/// Opens `path` for appending whole lines: write-only, every write at the end, created
/// when missing, no translation of line ends, not inherited by programs started later,
/// never waiting in the open. Returns a descriptor of a regular file for
/// write/fstat/ftruncate/close, or -1 with `error` set: kNotRegularFile, kSymbolicLink
/// (platform/regular_file.h) or errno.
int OpenForAppending(const std::string& path, int& error);

/// Takes the writers' exclusive lock on the open log `fd` without waiting; false
/// when another writer holds it or locking failed.
bool TryLockForAppending(int fd);

}  // namespace morv
