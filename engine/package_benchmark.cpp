// LoadPackage on a full package (524,288-byte image) with a warm page cache.
// Goal: well under 1 ms per load.

#include <benchmark/benchmark.h>

#include <cstdio>

#include "engine/load_package.h"
#include "engine/package_writer.h"
#include "engine/testing/temp_directory.h"
#include "framework/testing/recording_feedback.h"

namespace morv {
namespace {

void BM_LoadPackage(benchmark::State& state) {
  testing::TempDirectory dir;
  FirmwareImage image;
  GenerateImage(1, image);
  dir.Write("FW.bin", image);
  PackageDescription description;
  description.model = "MX-R4410";
  const std::string text = ParameterFileText(description, ImageChecksum(image));
  const std::string path = dir.Write("FW.OUC", text);

  std::FILE* trace = std::fopen("/dev/null", "w");
  RecordingFeedback feedback;
  ParameterFile parameters;
  FirmwareImage loaded;
  for (auto _ : state) {
    feedback.events.clear();
    if (!LoadPackage(path, "E: KESTREL MX-R4410", feedback, parameters, loaded, trace)) {
      state.SkipWithError("package rejected");
      break;
    }
    benchmark::DoNotOptimize(loaded.data());
  }
  std::fclose(trace);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_LoadPackage)->Unit(benchmark::kMicrosecond);

void BM_ImageChecksum(benchmark::State& state) {
  FirmwareImage image;
  GenerateImage(2, image);
  for (auto _ : state) benchmark::DoNotOptimize(ImageChecksum(image));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_ImageChecksum)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morv
