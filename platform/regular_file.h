#pragma once
// Opening the files a user hands the program (package files, the start argument, the
// profile) for reading, so that a FIFO, a device or a socket under such a name is
// refused at once instead of blocking the open or the read for ever.

#include <cstdio>
#include <string>

namespace morv {

/// Stands in for an errno value when a name is neither a regular file nor a folder.
inline constexpr int kNotRegularFile = -1;
/// Stands in for an errno value when a name that must not be a link is one.
inline constexpr int kSymbolicLink = -2;

/// The text for an error of OpenRegularFile or OpenForAppending: the system's text for
/// an errno value, "Not a regular file" for kNotRegularFile, "A symbolic link, which
/// is not followed" for kSymbolicLink.
std::string RegularFileErrorText(int error);

// Each operating system's backend (platform/linux/, platform/win32/) provides this:

/// Opens `path` for binary reading, following a symbolic link, without ever waiting
/// in the open. Returns the stream of a regular file; otherwise nullptr with `error`
/// set: EISDIR for a folder, kNotRegularFile for a FIFO, device or socket, else errno.
std::FILE* OpenRegularFile(const std::string& path, int& error);

}  // namespace morv
