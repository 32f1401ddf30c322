#pragma once
// morvantide-package: checks firmware packages the way an update does, and makes them.

#include <ostream>
#include <string>
#include <vector>

namespace morv {

/// Exit codes of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRejected = 1;  ///< package rejected, or a file could not be read or written
inline constexpr int kExitUsage = 2;     ///< bad command line

/// `text` in double quotes with \n, \r, \t, \", \\ and \xNN escapes, so that line
/// breaks and trailing spaces show.
std::string Quoted(const std::string& text);

/// Runs the tool with `args` (without the program name); reports go to `out`, the
/// one-line error of a bad command line or a failed file operation to `err`.
int RunPackageTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace morv
