// The dialog on Windows: always the system's own dialogs.

#include <cstdio>

#include "apps/toolkit_host.h"
#include "platform/win32/console_streams.h"
#include "platform/win32/win32_toolkit.h"

namespace morv {

void ConnectStandardStreams() { win32::ConnectStandardStreamsToStartingConsole(); }

int RunOnSystemToolkit(const ToolkitHostRequest& request, const std::function<int(Toolkit&)>& run) {
  if (request.terminal) {
    std::fprintf(stderr, "%s: the terminal dialog is not available on Windows\n", request.title.c_str());
    return 1;
  }
  // The dialog runs apart from the console it was started from: closing that console
  // would otherwise end the process, in the middle of a download too.
  win32::StartingConsoleSetAside console;
  win32::Win32Toolkit toolkit;
  return run(toolkit);
}

void EndAsTheSystemAsked() {}

}  // namespace morv
