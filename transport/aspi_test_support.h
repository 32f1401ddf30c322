#pragma once
// For tests of the ASPI transport: a seconds clock that moves only when it is
// read, so time limits of any length pass without waiting, and a trace file.

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "transport/command_trace.h"

namespace morv {

/// Each read of the seconds clock advances it by `step` seconds; Sleep only counts.
class SteppingClock : public Clock {
 public:
  int64_t now = 1'000'000;
  int64_t step = 0;
  int sleeps = 0;
  uint32_t TickCount() override { return 0; }
  void Sleep(uint32_t) override { ++sleeps; }
  int64_t ElapsedSeconds() override {
    const int64_t value = now;
    now += step;
    return value;
  }
};

/// A command trace into a temporary file, removed again at the end.
class TraceFile {
 public:
  TraceFile() {
    close(mkstemp(m_path));
    m_trace = CommandTrace::Open(m_path, m_error);
  }
  ~TraceFile() { std::remove(m_path); }
  /// The trace, or null (then Error() says why).
  CommandTrace* Trace() { return m_trace.get(); }
  const std::string& Error() const { return m_error; }
  /// Closes the trace and returns its lines.
  std::vector<std::string> Lines() {
    m_trace.reset();
    std::ifstream in(m_path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
  }

 private:
  char m_path[32] = "/tmp/aspi-trace-XXXXXX";
  std::string m_error;
  std::unique_ptr<CommandTrace> m_trace;
};

}  // namespace morv
