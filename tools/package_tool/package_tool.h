#pragma once
// morvantide-package: checks firmware packages the way an update does, and makes them.

#include <ostream>
#include <string>
#include <vector>

namespace morv {

/// Exit codes of the tool.
inline constexpr int kExitOk = 0;
inline constexpr int kExitRejected = 1;  ///< the package was rejected
inline constexpr int kExitUsage = 2;     ///< bad command line
inline constexpr int kExitFile = 3;      ///< a file could not be read or written (missing, unreadable)
inline constexpr int kExitExists = 4;    ///< make would replace an existing file, and --force was not given

/// `text` in double quotes with \n, \r, \t, \", \\ and \xNN escapes, so that line
/// breaks and trailing spaces show.
std::string Quoted(const std::string& text);

/// Runs the tool with `args` (without the program name); reports go to `out`, the
/// one-line error of a bad command line or a failed file operation to `err`.
int RunPackageTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace morv
