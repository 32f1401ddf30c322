#include "apps/program_main.h"

#include <QApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "apps/program_options.h"
#include "apps/start_location.h"
#include "engine/update_history.h"
#include "platform/termination_close_request.h"
#include "platform/terminal/curses_screen.h"
#include "platform/terminal/terminal_toolkit.h"
#include "platform/qt/display_probe.h"
#include "platform/qt/qt_icons.h"
#include "platform/qt/qt_toolkit.h"
#include "transport/command_trace.h"
#include "ui/app_title.h"
#include "ui/flash_app.h"
#include "ui/resource_ids.h"
#include "ui/toolkit_feedback.h"

namespace morv {
namespace {

bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value && *value;
}

/// Whether Qt has somewhere to draw: a display server, or a platform asked for by name.
bool DisplayAvailable() { return IsSet("DISPLAY") || IsSet("WAYLAND_DISPLAY") || IsSet("QT_QPA_PLATFORM"); }

int RunWithQt(const ProgramDefinition& program, const ProgramOptions& options, CommandTrace* trace,
              const std::string& title, char* programPath) {
  // Qt sees no arguments of ours: they have been handled already.
  int qtArgc = 1;
  char* qtArgv[] = {programPath, nullptr};
  QApplication application(qtArgc, qtArgv);
  application.setWindowIcon(qt::ResourceIcon(program.resources, IDR_MAINFRAME));
  TerminationCloseRequest closeRequest;
  qt::QtToolkit toolkit(&closeRequest);
  return RunApplication(program, options, trace, title, toolkit);
}

/// The dialog in the terminal. `why` says why there is no desktop window, for the
/// message when there is no terminal either.
int RunInTerminal(const ProgramDefinition& program, const ProgramOptions& options, CommandTrace* trace,
                  const std::string& title, const std::string& why) {
  terminal::CursesScreen screen;
  try {
    screen.Open();
  } catch (const terminal::TerminalUnavailable& e) {
    std::fprintf(stderr, "%s: %s%s\n", title.c_str(), why.c_str(), e.what());
    return 1;
  }
  try {
    // After the screen, which restores the terminal on these signals otherwise;
    // before it closes, which puts its own handlers back.
    TerminationCloseRequest closeRequest;
    screen.WakeOn(closeRequest.WakeFd());
    terminal::TerminalToolkit toolkit(screen, &closeRequest);
    int status = RunApplication(program, options, trace, title, toolkit);
    screen.WakeOn(-1);
    return status;
  } catch (const std::exception& e) {
    // Give the terminal back first, so the message can be read.
    screen.WakeOn(-1);
    screen.Close();
    std::fprintf(stderr, "%s: fatal error: %s\n", title.c_str(), e.what());
    return 1;
  }
}

/// The dialogs in the desktop window where there is a display, else in the terminal.
int RunDialogs(const ProgramDefinition& program, const ProgramOptions& options, CommandTrace* trace,
               const std::string& title, char* programPath) {
  if (options.terminal) return RunInTerminal(program, options, trace, title, "");
  if (!DisplayAvailable())
    return RunInTerminal(program, options, trace, title, "no display (DISPLAY and WAYLAND_DISPLAY are not set) and ");
  if (!qt::DisplayOpens(programPath))
    return RunInTerminal(program, options, trace, title, "the display cannot be opened and ");
  return RunWithQt(program, options, trace, title, programPath);
}

}  // namespace

int RunApplication(const ProgramDefinition& program, const ProgramOptions& options, CommandTrace* trace,
                   const std::string& title, Toolkit& toolkit) {
  ToolkitFeedback feedback(toolkit, program.resources, title);
  DeviceAccess devices = program.makeDeviceAccess(options, trace, feedback, title);
  CFlashApp app(toolkit, feedback, program.resources, *devices.transport, devices.makeSelection);
  app.SetStartFile(options.startFile);
  HistoryLog history(HistoryLog::DefaultPath(), program.name);
  app.SetHistory(&history);
  app.InitInstance();
  // Only now: the dialog may have held the terminal until here.
  for (const std::string& failure : history.Failures())
    std::fprintf(stderr, "%s: %s\n", title.c_str(), failure.c_str());
  return 0;
}

int ProgramMain(const ProgramDefinition& program, int argc, char** argv) {
  std::string title = ProgramTitle(argc > 0 ? argv[0] : "", program.name);
  ProgramOptions options;
  std::string error = ParseOptions(std::vector<std::string>(argv + std::min(argc, 1), argv + argc),
                                   ProgramOptionTable(), options);
  if (!error.empty()) {
    std::fprintf(stderr, "%s: %s (see --help)\n", title.c_str(), error.c_str());
    return 2;
  }
  if (options.help) {
    std::fputs(UsageText(title, program.summary, ProgramOptionTable()).c_str(), stdout);
    return 0;
  }
  if (options.version) {
    std::printf("%s %s\n", program.name, program.version);
    return 0;
  }
  std::unique_ptr<CommandTrace> trace;
  if (!options.traceFile.empty()) {
    trace = CommandTrace::Open(options.traceFile, error);
    if (!trace) {
      std::fprintf(stderr, "%s: %s\n", title.c_str(), error.c_str());
      return 2;
    }
  }
  // After the trace file, which is named relative to where the program was started.
  if (!options.start.empty()) {
    StartLocation location;
    error = ResolveStartLocation(options.start, location);
    if (error.empty()) error = EnterStartLocation(location);
    if (!error.empty()) {
      std::fprintf(stderr, "%s: %s\n", title.c_str(), error.c_str());
      return 2;
    }
    options.startFile = location.fileName;
  }
  int status = RunDialogs(program, options, trace.get(), title, argc > 0 ? argv[0] : const_cast<char*>(program.name));
  // Closed down because of SIGTERM or SIGHUP: whoever sent it sees the process end by it.
  trace.reset();
  TerminationCloseRequest::EndBySignalNoted();
  return status;
}

}  // namespace morv
