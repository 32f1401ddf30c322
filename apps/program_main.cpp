#include "apps/program_main.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "apps/program_options.h"
#include "apps/start_location.h"
#include "apps/system_power.h"
#include "engine/update_history.h"
#include "apps/toolkit_host.h"
#include "transport/command_trace.h"
#include "ui/app_title.h"
#include "ui/flash_app.h"
#include "ui/toolkit_feedback.h"

namespace morv {
namespace {

/// Writes out what standard output holds. A write that failed (a full disk, a
/// reader that left the pipe) is one line on standard error and status 1, so that
/// nobody takes missing output for the whole of it; `status` stays otherwise.
int FinishStandardOutput(const std::string& title, int status) {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  const int error = errno;
  std::fprintf(stderr, "%s: cannot write to standard output: %s\n", title.c_str(),
               std::strerror(error != 0 ? error : EIO));
  return status == 0 ? kExitOutputFailed : status;
}

}  // namespace

int RunApplication(const ProgramDefinition& program, const ProgramOptions& options, CommandTrace* trace,
                   const std::string& title, Toolkit& toolkit) {
  ToolkitFeedback feedback(toolkit, program.resources, title);
  DeviceAccess devices = program.makeDeviceAccess(options, trace, feedback, title);
  CFlashApp app(toolkit, feedback, program.resources, *devices.transport, devices.makeSelection);
  app.SetStartFile(options.startFile);
  HistoryLog history(HistoryLog::DefaultPath(), program.name,
                     options.simulate ? DriveKind::Emulated : DriveKind::Real);
  app.SetHistory(&history);
  // What the system could not check or hold goes where the operator looks for the
  // program's diagnostics: the trace when there is one.
  const std::unique_ptr<MachinePower> power = MakeSystemMachinePower(title, [trace, &title](const std::string& line) {
    if (trace != nullptr)
      trace->Note(line);
    else
      std::fprintf(stderr, "%s: %s\n", title.c_str(), line.c_str());
  });
  app.SetMachinePower(power.get());
  app.InitInstance();
  // Only now: the dialog may have held the terminal until here.
  for (const std::string& failure : history.Failures())
    std::fprintf(stderr, "%s: %s\n", title.c_str(), failure.c_str());
  return 0;
}

int ProgramMain(const ProgramDefinition& program, int argc, char** argv) {
  ConnectStandardStreams();
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
    return FinishStandardOutput(title, 0);
  }
  if (options.version) {
    std::printf("%s %s\n", program.name, program.version);
    return FinishStandardOutput(title, 0);
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
  ToolkitHostRequest request{&program.resources, title, argc > 0 ? argv[0] : const_cast<char*>(program.name),
                             options.terminal};
  int status = RunOnSystemToolkit(request, [&](Toolkit& toolkit) {
    return RunApplication(program, options, trace.get(), title, toolkit);
  });
  // Closed down at the system's request: the trace is complete before the process
  // ends the way that request expects.
  trace.reset();
  status = FinishStandardOutput(title, status);
  EndAsTheSystemAsked();
  return status;
}

}  // namespace morv
