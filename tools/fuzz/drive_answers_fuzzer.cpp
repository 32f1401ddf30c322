// libFuzzer target for what drives answer: each input is a drive's answer script (and
// the package's regions and the operator's answer) that both programs meet through
// discovery, a whole update and a rescan (tools/fuzz/drive_answers.h). Any broken
// promise is printed and ends the run like a crash.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "tools/fuzz/drive_answers.h"

// The programs run in a package directory of their own, so a crash is written while
// that is the current directory: unless told otherwise, libFuzzer writes its findings
// where it was started. The update's one diagnostic line per run is dropped.
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
  if (std::freopen("/dev/null", "w", stdout) == nullptr) return 0;
  for (int i = 1; i < *argc; ++i)
    if (std::string_view((*argv)[i]).starts_with("-artifact_prefix=")) return 0;
  static std::string prefix = "-artifact_prefix=" + std::filesystem::current_path().string() + "/";
  static std::vector<char*> arguments(*argv, *argv + *argc);
  arguments.push_back(prefix.data());
  arguments.push_back(nullptr);
  *argv = arguments.data();
  ++*argc;
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::vector<std::string> problems = morv::fuzz::CheckDriveAnswers({data, size}).problems;
  for (const auto& problem : problems) std::fprintf(stderr, "drive_answers: %s\n", problem.c_str());
  if (!problems.empty()) __builtin_trap();
  return 0;
}

// Every run allocates and frees a few MiB (the image, transfer buffers, the drive's
// record); a smaller quarantine lets that memory be used again instead of faulting in
// fresh pages, which halves the time of a run. A use after free of anything among the
// last 16 MiB freed is still caught. ASAN_OPTIONS overrides it.
extern "C" const char* __asan_default_options() { return "quarantine_size_mb=16"; }
