// The dialog on Linux: Qt widgets when a display is available, else the terminal.

#include <QApplication>

#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "platform/qt/display_loss.h"
#include "platform/qt/display_probe.h"
#include "platform/qt/qt_icons.h"
#include "platform/qt/qt_toolkit.h"
#include "platform/terminal/curses_screen.h"
#include "platform/terminal/terminal_toolkit.h"
#include "platform/termination_close_request.h"
#include "apps/toolkit_host.h"
#include "ui/resource_ids.h"

namespace morv {
namespace {

bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

/// Whether Qt has somewhere to draw: a display server, or a platform asked for by name.
bool DisplayAvailable() { return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM"); }

int RunWithQt(const ToolkitHostRequest& request, const std::function<int(Toolkit&)>& run) {
  // Qt sees no arguments of ours: they have been handled already.
  int qtArgc = 1;
  char* qtArgv[] = {request.programPath, nullptr};
  auto application = std::make_unique<QApplication>(qtArgc, qtArgv);
  application->setWindowIcon(qt::ResourceIcon(*request.resources, IDR_MAINFRAME));
  qt::WatchForDisplayLoss();
  TerminationCloseRequest closeRequest;
  auto toolkit = std::make_unique<qt::QtToolkit>(&closeRequest);
  const int status = run(*toolkit);
  if (!qt::DisplayLost()) return status;
  // Qt's frames that were running when the display went were left behind, and
  // still refer to these: they are kept, never destroyed.
  (void)toolkit.release();
  (void)application.release();
  std::fprintf(stderr, "%s: the display went away during the update; the update ran to its end without a window\n",
               request.title.c_str());
  return kExitDisplayLost;
}

/// The dialog in the terminal. `why` says why there is no desktop window, for the
/// message when there is no terminal either.
int RunInTerminal(const ToolkitHostRequest& request, const std::function<int(Toolkit&)>& run,
                  const std::string& why) {
  terminal::CursesScreen screen;
  try {
    screen.Open();
  } catch (const terminal::TerminalUnavailable& e) {
    std::fprintf(stderr, "%s: %s%s\n", request.title.c_str(), why.c_str(), e.what());
    return 1;
  }
  try {
    // After the screen, which restores the terminal on these signals otherwise;
    // before it closes, which puts its own handlers back.
    TerminationCloseRequest closeRequest;
    screen.WakeOn(closeRequest.WakeFd());
    terminal::TerminalToolkit toolkit(screen, &closeRequest);
    int status = run(toolkit);
    screen.WakeOn(-1);
    return screen.GoneDuringHold() ? kExitDisplayLost : status;
  } catch (const std::exception& e) {
    // Give the terminal back first, so the message can be read.
    screen.WakeOn(-1);
    screen.Close();
    std::fprintf(stderr, "%s: fatal error: %s\n", request.title.c_str(), e.what());
    return 1;
  }
}

}  // namespace

int RunOnSystemToolkit(const ToolkitHostRequest& request, const std::function<int(Toolkit&)>& run) {
  if (request.terminal) return RunInTerminal(request, run, "");
  if (!DisplayAvailable())
    return RunInTerminal(request, run, "no display (DISPLAY and WAYLAND_DISPLAY are not set) and ");
  if (!qt::DisplayOpens(request.programPath))
    return RunInTerminal(request, run, "the display cannot be opened and ");
  return RunWithQt(request, run);
}

void EndAsTheSystemAsked() {
  TerminationCloseRequest::EndBySignalNoted();
  // Qt is left as the broken connection found it: nothing of it is torn down.
  if (qt::DisplayLost()) {
    std::fflush(nullptr);
    ::_exit(kExitDisplayLost);
  }
}

}  // namespace morv
