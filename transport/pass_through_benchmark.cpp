// A whole firmware download as MorvantideNT sends it: 32 WRITE BUFFERs of 16 KiB
// (mode 4, the last one mode 5) through CScsiDrive, PassThroughTransport and the
// simulated pass-through system into the emulated MX-R4410. Goal: under 20 µs per
// command, so our own stack is never what an operator waits for.
#include <benchmark/benchmark.h>

#include <vector>

#include "sim/sim_pass_through_system.h"
#include "transport/pass_through_transport.h"
#include "framework/testing/recording_feedback.h"
#include "scsi/scsi_drive.h"

namespace morv {
namespace {

constexpr int kPieces = 32;
constexpr uint32_t kPieceLength = 16384;

void BM_PassThroughDownload(benchmark::State& state) {
  sim::StandardDevices devices;
  sim::SimPassThroughSystem system(devices);
  PassThroughTransport transport(system);
  RecordingFeedback feedback;
  CScsiDrive drive(transport);
  transport.SetMaxTransfer('E', kPieceLength);
  drive.SetAddress(DriveAddress::Letter('E'));
  std::vector<uint8_t> piece(kPieceLength, 0x5A);

  for (auto _ : state) {
    for (int id = 0; id < kPieces; ++id) {
      drive.SetBuffer(piece.data(), kPieceLength);
      const uint8_t mode = id == kPieces - 1 ? 5 : 4;
      if (drive.WriteBuffer(mode, static_cast<uint8_t>(id), 0, kPieceLength) != kCodeDone) {
        state.SkipWithError(drive.GetErrorText().c_str());
        return;
      }
    }
    devices.drive->ClearRecord();  // the record would otherwise grow by 512 KiB a round
  }
  state.SetItemsProcessed(state.iterations() * kPieces);
  state.counters["per_command"] =
      benchmark::Counter(kPieces, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_PassThroughDownload)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace morv
