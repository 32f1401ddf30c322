#pragma once
// Where a program's dialog is drawn: the toolkit this operating system offers.
// On Linux Qt when a display is available, else the terminal (apps/linux/);
// on Windows the Win32 dialogs (apps/windows/).

#include <functional>
#include <string>

#include "framework/resource_types.h"
#include "framework/toolkit.h"

namespace morv {

struct ToolkitHostRequest {
  const ProgramResources* resources;  ///< the program's icons (window icon)
  std::string title;                  ///< the program file's base name, for messages
  char* programPath;                  ///< argv[0]
  bool terminal = false;              ///< --terminal: the terminal even with a display
};

/// The status of a program whose display (window system or terminal) went away
/// during an update: the update ran to its end without a window and wrote its
/// history line, and the program then ended.
inline constexpr int kExitDisplayLost = 3;

/// First thing in main, before anything is written or opened: where the system
/// starts a windowed program without its standard streams (Windows, from a
/// console), connects those that lead nowhere to the console it was started from,
/// so --help, --version and the one-line errors are seen there; streams redirected
/// to a file or pipe are kept. On Linux a closed descriptor 0, 1 or 2 is opened on
/// /dev/null (otherwise the next file or connection opened would take its number,
/// and standard output would be written into it), and a write to a pipe whose
/// reader left is an error the program reports, never the end of the process.
void ConnectStandardStreams();

/// Runs `run` over the system's toolkit and returns its result; returns 1 after one
/// line on standard error when no toolkit can run here, kExitDisplayLost when the
/// display or terminal went away during an update.
int RunOnSystemToolkit(const ToolkitHostRequest& request, const std::function<int(Toolkit&)>& run);

/// Called once the program has closed down, its files written: where the system asked
/// the dialogs to close from outside (SIGTERM or SIGHUP on Linux), ends the process
/// the way that request expects, so whoever sent it sees it; returns otherwise (and
/// always on Windows, where such a close is the dialog's own WM_CLOSE).
void EndAsTheSystemAsked();

}  // namespace morv
