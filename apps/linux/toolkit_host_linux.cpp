// The dialog on Linux: Qt widgets when a display is available, else the terminal.

#include <QApplication>

#include <cstdio>
#include <cstdlib>

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
  QApplication application(qtArgc, qtArgv);
  application.setWindowIcon(qt::ResourceIcon(*request.resources, IDR_MAINFRAME));
  TerminationCloseRequest closeRequest;
  qt::QtToolkit toolkit(&closeRequest);
  return run(toolkit);
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
    return status;
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

void ConnectStandardStreams() {}

void EndAsTheSystemAsked() { TerminationCloseRequest::EndBySignalNoted(); }

}  // namespace morv
