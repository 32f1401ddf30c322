#pragma once
// The commands of `morvantide`, each returning the process's exit status
// (cli_options.h). Results go to standard output, everything else to standard error.

#include "apps/cli/cli_options.h"

namespace morv {

class CommandTrace;

/// Every drive both programs reach, with identification, version and node.
int RunList(const CliOptions& options, CommandTrace* trace);
/// The package's checks against the drive; nothing is sent but discovery.
int RunCheck(const CliOptions& options, CommandTrace* trace);
/// The whole update of the drive, as the dialog runs it.
int RunFlash(const CliOptions& options, CommandTrace* trace);
/// The update history, as written or as JSON.
int RunHistory(const CliOptions& options);

}  // namespace morv
