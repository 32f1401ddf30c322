// What one input of the drive-answers fuzz target costs: both programs' discovery, a
// whole update and a rescan against the emulated drive, and the checks of what they
// showed and sent. A sound drive takes the longest road (every piece of every region
// written); the corpus inputs are the drives that answer badly. Goal: well under a
// millisecond of CPU per input; the fuzz target's sanitizers multiply what it costs.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tools/fuzz/drive_answers.h"

namespace morv::fuzz {
namespace {

void BM_SoundDrive(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(CheckDriveAnswers({}));
}
BENCHMARK(BM_SoundDrive)->Unit(benchmark::kMicrosecond);

void BM_CorpusInput(benchmark::State& state) {
  std::vector<std::vector<uint8_t>> inputs;
  for (const auto& entry : std::filesystem::directory_iterator(DRIVE_ANSWERS_CORPUS)) {
    std::ifstream file(entry.path(), std::ios::binary);
    inputs.emplace_back(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  size_t next = 0;
  for (auto _ : state) benchmark::DoNotOptimize(CheckDriveAnswers(inputs[next++ % inputs.size()]));
}
BENCHMARK(BM_CorpusInput)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morv::fuzz
