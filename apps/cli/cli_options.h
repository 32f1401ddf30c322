#pragma once
// The command line of `morvantide`: a command, its package, and options.

#include <string>
#include <vector>

namespace morv {

/// The exit statuses of `morvantide`, each its own, documented in its man page.
inline constexpr int kCliExitComplete = 0;         ///< done: flashed, accepted, listed, shown
inline constexpr int kCliExitFailure = 1;          ///< anything else: output or history not written or read, no memory
inline constexpr int kCliExitUsage = 2;            ///< a bad command line, or a question nobody can answer
inline constexpr int kCliExitPackageRefused = 3;   ///< the package check failed; nothing was sent
inline constexpr int kCliExitDriveRefused = 4;     ///< no such drive, or refused or failed before any WRITE BUFFER
inline constexpr int kCliExitDownloadFailed = 5;   ///< a piece was refused: the download stopped there
inline constexpr int kCliExitDeclined = 6;         ///< the operator answered no: nothing was written

struct CliOptions {
  std::string command;  ///< "list", "check", "flash" or "history"
  std::string package;  ///< check, flash: the parameter file
  std::string drive;    ///< --drive D
  bool yes = false;     ///< --yes: flash without asking
  bool json = false;    ///< --json
  bool simulate = false;
  std::string traceFile;
  bool help = false;
  bool version = false;
};

/// Parses `args` (without the program path). Returns the empty text, or one line
/// saying what is wrong.
std::string ParseCliOptions(const std::vector<std::string>& args, CliOptions& options);

/// The --help text.
std::string CliUsageText();

}  // namespace morv
