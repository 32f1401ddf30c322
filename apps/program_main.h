#pragma once
// The main() both programs share: options, the toolkit, then the application.
// What differs between the programs comes in through ProgramDefinition.

#include <functional>
#include <memory>
#include <string>

#include "apps/program_options.h"
#include "scsi/transport.h"
#include "ui/flash_dlg.h"
#include "framework/resource_types.h"

namespace morv {

class CommandTrace;

/// How a program reaches its drives: the transport and the selection half over it.
/// The selections it makes share what lives as long as the process (the device
/// tables, the profile) through `makeSelection`, so keep this while dialogs run.
struct DeviceAccess {
  std::shared_ptr<Transport> transport;
  SelectionFactory makeSelection;
};

struct ProgramDefinition {
  const char* name;       ///< "MorvantideNT"
  const char* version;    ///< "1.0.0"
  const char* summary;    ///< one line for --help
  const ProgramResources& resources;
  /// Real drives, or the emulated ones with --simulate; every request traced when
  /// `trace` is not null. Morvantide4's transport pumps the feedback's messages while
  /// a request waits, and its profile is named after `title`, the program file's base name.
  std::function<DeviceAccess(const ProgramOptions& options, CommandTrace* trace, Feedback& feedback,
                             const std::string& title)>
      makeDeviceAccess;
};

/// Exit statuses besides 0 (done) and 2 (bad command line): 1 is also where no
/// dialog can run here; kExitDisplayLost (toolkit_host.h) where the display or
/// terminal went away during an update.
inline constexpr int kExitOutputFailed = 1;  ///< standard output could not be written

/// Runs one program; returns the process exit status (0 done, 1 cannot run here or
/// standard output could not be written, 2 bad command line, 3 the display or
/// terminal went away during an update).
int ProgramMain(const ProgramDefinition& program, int argc, char** argv);

/// The application (notice, then the main dialog) over `toolkit`, after the command
/// line has been handled; `title` is the program file's base name. Returns 0.
int RunApplication(const ProgramDefinition& program, const ProgramOptions& options, CommandTrace* trace,
                   const std::string& title, Toolkit& toolkit);

}  // namespace morv
