// morvantide: the command-line flasher, on the engine and transports of the dialogs.

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "apps/cli/cli_commands.h"
#include "apps/cli/cli_options.h"
#include "apps/toolkit_host.h"
#include "transport/command_trace.h"

namespace {

constexpr const char* kVersion = "1.0.0";

/// Writes out standard output; a write that failed (a full disk, a reader that
/// left the pipe) is one line on standard error and status 1.
int FinishStandardOutput(int status) {
  errno = 0;
  if (std::fflush(stdout) == 0 && !std::ferror(stdout)) return status;
  const int error = errno;
  std::fprintf(stderr, "morvantide: cannot write to standard output: %s\n", std::strerror(error != 0 ? error : EIO));
  return status == morv::kCliExitComplete ? morv::kCliExitFailure : status;
}

int Run(int argc, char** argv) {
  using namespace morv;
  ConnectStandardStreams();
  CliOptions options;
  const std::string error = ParseCliOptions(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc), options);
  if (!error.empty()) {
    std::fprintf(stderr, "morvantide: %s (see --help)\n", error.c_str());
    return kCliExitUsage;
  }
  if (options.help) {
    std::fputs(CliUsageText().c_str(), stdout);
    return FinishStandardOutput(kCliExitComplete);
  }
  if (options.version) {
    std::printf("morvantide %s\n", kVersion);
    return FinishStandardOutput(kCliExitComplete);
  }
  std::unique_ptr<CommandTrace> trace;
  if (!options.traceFile.empty()) {
    std::string traceError;
    trace = CommandTrace::Open(options.traceFile, traceError);
    if (!trace) {
      std::fprintf(stderr, "morvantide: %s\n", traceError.c_str());
      return kCliExitUsage;
    }
  }
  int status = kCliExitComplete;
  if (options.command == "list") status = RunList(options, trace.get());
  else if (options.command == "check") status = RunCheck(options, trace.get());
  else if (options.command == "flash") status = RunFlash(options, trace.get());
  else status = RunHistory(options);
  return FinishStandardOutput(status);
}

}  // namespace

int main(int argc, char** argv) { return Run(argc, argv); }
