#pragma once
// The main() both programs share: options, the toolkit, then the application.
// What differs between the programs comes in through ProgramDefinition.

#include <functional>
#include <memory>
#include <string>

#include "apps/program_options.h"
#include "scsi/transport.h"
#include "ui/flash_dlg.h"
#include "ui/resource_types.h"

namespace morv {

class CommandTrace;

struct ProgramDefinition {
  const char* name;       ///< "MorvantideNT"
  const char* version;    ///< "1.0.0"
  const char* summary;    ///< one line for --help
  const ProgramResources& resources;
  /// The program's transport for --simulate and the trace (null without --trace).
  std::function<std::shared_ptr<Transport>(const ProgramOptions&, CommandTrace*)> makeTransport;
  SelectionFactory makeSelection;
};

/// Runs one program; returns the process exit status (0 done, 1 cannot run here,
/// 2 bad command line).
int ProgramMain(const ProgramDefinition& program, int argc, char** argv);

}  // namespace morv
