// ReadPackage on a full package (524,288-byte image) with a warm page cache.
// Goal: well under 1 ms per load.

#include <benchmark/benchmark.h>

#include "engine/read_package.h"
#include "engine/package_writer.h"
#include "engine/testing/temp_directory.h"

namespace morv {
namespace {

void BM_ReadPackage(benchmark::State& state) {
  testing::TempDirectory dir;
  FirmwareImage image;
  GenerateImage(1, image);
  dir.Write("FW.bin", image);
  PackageDescription description;
  description.model = "MX-R4410";
  const std::string text = ParameterFileText(description, ImageChecksum(image));
  const std::string path = dir.Write("FW.OUC", text);

  const ModelCheck modelFits = ModelIn("E: KESTREL MX-R4410");
  ParameterFile parameters;
  FirmwareImage loaded;
  for (auto _ : state) {
    if (ReadPackage(path, modelFits, parameters, loaded)) {
      state.SkipWithError("package rejected");
      break;
    }
    benchmark::DoNotOptimize(loaded.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_ReadPackage)->Unit(benchmark::kMicrosecond);

void BM_ImageChecksum(benchmark::State& state) {
  FirmwareImage image;
  GenerateImage(2, image);
  for (auto _ : state) benchmark::DoNotOptimize(ImageChecksum(image));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(kImageSize));
}
BENCHMARK(BM_ImageChecksum)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morv
