// What the operator waits for around device selection, beside the drives' own time:
// Morvantide4's profile written when the dialog closes (73 values, each one an
// atomic, flushed replacement of the file) and read at start-up, and MorvantideNT's
// scan of 26 drive letters through our own stack. Goal: a profile save well under
// a second on an ordinary disk, and a scan under a millisecond of our own time.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <filesystem>
#include <stdexcept>

#include "platform/private_profile.h"
#include "sim/sim_pass_through_system.h"
#include "transport/drive_letter_scan.h"
#include "transport/pass_through_transport.h"
#include "transport/selection_memory.h"
#include "scsi/scsi_drive.h"

namespace morv {
namespace {

/// A fresh folder under the temporary directory.
std::filesystem::path MakeTempFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "morvantide-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  return pattern;
}

/// A profile in a fresh folder, removed at the end. The folder is made before the
/// profile's path is built from it, so nothing is written where the benchmark runs.
struct TempProfile {
  ~TempProfile() { std::filesystem::remove_all(folder); }
  std::filesystem::path folder = MakeTempFolder();
  PrivateProfile profile{(folder / "Morvantide4.INI").string()};
};

void BM_SaveSelection(benchmark::State& state) {
  TempProfile temp;
  SelectionMemory memory;
  std::string error;
  for (auto _ : state)
    if (!memory.SaveSelection(temp.profile, error)) state.SkipWithError(error.c_str());
}
BENCHMARK(BM_SaveSelection)->Unit(benchmark::kMillisecond);

void BM_LoadSelection(benchmark::State& state) {
  TempProfile temp;
  SelectionMemory memory;
  std::string error;
  memory.SaveSelection(temp.profile, error);
  for (auto _ : state) memory.LoadSelection(temp.profile);
}
BENCHMARK(BM_LoadSelection)->Unit(benchmark::kMillisecond);

void BM_ScanDrives(benchmark::State& state) {
  sim::StandardDevices devices;
  sim::SimPassThroughSystem system(devices);
  PassThroughTransport transport(system);
  CScsiDrive drive(transport);
  for (auto _ : state) {
    if (ScanDriveLetters(drive, transport).drives.size() != 2) state.SkipWithError("the emulated drives were not found");
    devices.disk->ClearRecord();
    devices.drive->ClearRecord();
    devices.cdrom->ClearRecord();
  }
}
BENCHMARK(BM_ScanDrives)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morv
