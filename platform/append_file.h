#pragma once
// Appending whole lines to a log that several processes share: each line goes out in
// one write to a descriptor opened for appending, so lines of concurrent writers never
// mix and a crash or a full disk never leaves half a line behind (a short write is
// taken back).

#include <string>

namespace morv {

/// Appends `line` (which ends in a line feed) to the file at `path` in one write,
/// creating the file (mode 0644 less the umask) and its missing parent folders. Returns
/// the empty text, or a one-line reason when nothing was appended.
std::string AppendWholeLine(const std::string& path, const std::string& line);

// Each operating system's backend (platform/linux/, platform/win32/) provides these:

/// Where the program keeps state between runs. Linux: "$XDG_STATE_HOME/<relative>",
/// or "$HOME/.local/state/<relative>" when XDG_STATE_HOME is unset or not absolute.
/// Windows: "%LOCALAPPDATA%/<relative>", the current folder when that is unset.
std::string StateFilePath(const std::string& relative);

/// Opens `path` for appending whole lines: write-only, every write at the end, created
/// when missing, no translation of line ends, not inherited by programs started later.
/// A descriptor for write/lseek/ftruncate/close, or -1 with errno set.
int OpenForAppending(const std::string& path);

}  // namespace morv
