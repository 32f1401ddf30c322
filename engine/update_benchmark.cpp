// A whole update of all three regions (32 pieces) from the press of Update Start to the
// completion box, over the scripted transport.
// BM_UpdateOwnWork: with a clock that does not wait, so only our own work is timed
// (goal: under 5 ms). BM_UpdateWithRealWaits: with the real clock (goal: the 2,010 ms
// of the pause and the settling wait, plus our own part).

#include <benchmark/benchmark.h>

#include "engine/testing/update_fakes.h"
#include "scsi/testing/fake_transport.h"
#include "framework/testing/recording_feedback.h"

namespace morv {
namespace {

void RunWholeUpdate(benchmark::State& state, Clock& clock) {
  testing::SamplePackage package({true, true, true});
  RecordingFeedback feedback;
  FakeTransport transport;
  CScsiDrive drive(transport);
  testing::FakeUpdateSelection selection(drive, ProgramKind::NT);
  testing::FakeUpdateControls controls;
  std::FILE* trace = std::fopen("/dev/null", "w");
  for (auto _ : state) {
    feedback.events.clear();
    transport.sent.clear();
    if (RunUpdate(package.path, {drive, feedback, selection, controls, clock, trace}) != UpdateOutcome::Completed) {
      state.SkipWithError("update did not complete");
      break;
    }
  }
  std::fclose(trace);
  state.counters["commands"] = static_cast<double>(transport.sent.size());
}

void BM_UpdateOwnWork(benchmark::State& state) {
  testing::SteppingClock clock;
  RunWholeUpdate(state, clock);
  uint64_t slept = 0;
  for (uint32_t ms : clock.sleeps) slept += ms;
  state.counters["slept_ms_per_update"] = static_cast<double>(slept) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_UpdateOwnWork)->Unit(benchmark::kMillisecond);

void BM_UpdateWithRealWaits(benchmark::State& state) { RunWholeUpdate(state, SystemClock()); }
BENCHMARK(BM_UpdateWithRealWaits)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace morv
