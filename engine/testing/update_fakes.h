#pragma once
// Test doubles for the update sequence: a clock whose sleeps advance its tick count
// at once, the dialog controls the update touches, a selection half for either
// program, and a sample package written into a test directory.

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "engine/firmware_image.h"
#include "engine/package_writer.h"
#include "engine/testing/temp_directory.h"
#include "engine/update_sequence.h"
#include "engine/write_plan.h"
#include "scsi/testing/fake_transport.h"

namespace morv::testing {

/// A clock that never waits: each Sleep is recorded and advances the tick count by
/// `advancePerSleep` (by default the time asked for).
class SteppingClock : public Clock {
 public:
  explicit SteppingClock(uint32_t start = 0) : now(start) {}
  uint32_t TickCount() override { return now; }
  void Sleep(uint32_t milliseconds) override {
    sleeps.push_back(milliseconds);
    now += advancePerSleep ? *advancePerSleep : milliseconds;
    if (onSleep) onSleep(milliseconds);
  }
  int64_t ElapsedSeconds() override { return 0; }

  uint32_t now;
  std::optional<uint32_t> advancePerSleep;
  std::vector<uint32_t> sleeps;
  std::function<void(uint32_t)> onSleep;
};

/// The dialog controls in memory.
class FakeUpdateControls : public UpdateControls {
 public:
  void EnableUpdateStart(bool enable) override { updateStartEnabled = enable; }
  void EnableExit(bool enable) override { exitEnabled = enable; }
  void EnableAbort(bool enable) override { abortEnabled = enable; }
  bool& AbortRequested() override { return abortRequested; }

  bool updateStartEnabled = true;
  bool exitEnabled = true;
  bool abortEnabled = false;
  bool abortRequested = false;
};

/// A selection with one selected drive (or none), addressing the drive object the
/// way the program of `kind` does. Its write-failure text is marked so that tests see
/// the sequence asked the selection for it.
class FakeUpdateSelection : public UpdateTarget {
 public:
  FakeUpdateSelection(CScsiDrive& drive, ProgramKind kind) : m_drive(drive), m_kind(kind) {}

  std::optional<std::string> DriveDescription() const override {
    calls.push_back("description");
    return description;
  }
  std::string FirmwareVersion() const override { return firmwareVersion; }
  void ShowFirmwareVersion(const std::string& version) override { firmwareVersion = version; }
  void AddressDriveForUpdate() override {
    calls.push_back("address");
    m_drive.SetAddress(m_kind == ProgramKind::NT ? DriveAddress::Letter(letter)
                                                 : DriveAddress::Target(hostAdapter, targetId, 0));
  }
  std::optional<std::string> ClaimDriveForUpdate() override {
    calls.push_back("claim");
    return claimRefusal;
  }
  void ReleaseDriveForUpdate() override { calls.push_back("release"); }
  std::string WriteFailureText() const override { return writeFailureMark + m_drive.GetErrorText(); }
  DriveLabel HistoryLabel() const override { return {"F:", "KESTREL MX-R4410", {"/dev/sg5", "1:0:4:0"}}; }
  void SetUpdateRunning(bool running) override {
    calls.push_back(running ? "running" : "stopped");
    updateRunning = running;
    if (onUpdateRunning) onUpdateRunning(running);
  }

  std::optional<std::string> description = "F: KESTREL MX-R4410     1.10";
  std::string firmwareVersion = "1.10";
  char letter = 'F';
  uint8_t hostAdapter = 1, targetId = 4;
  std::string writeFailureMark = "write failure: ";
  /// What ClaimDriveForUpdate answers; nullopt: claimed.
  std::optional<std::string> claimRefusal;
  mutable std::vector<std::string> calls;
  bool updateRunning = false;
  std::function<void(bool)> onUpdateRunning;

 private:
  CScsiDrive& m_drive;
  ProgramKind m_kind;
};

/// The history in memory.
class RecordingHistory : public UpdateHistory {
 public:
  void Append(const UpdateRecord& record) override {
    records.push_back(record);
    if (onAppend) onAppend();
  }
  std::vector<UpdateRecord> records;
  std::function<void()> onAppend;  ///< called after each record
};

/// A good package for "MX-R4410" with the given regions, written as PKG.OUC and PKG.bin.
struct SamplePackage {
  explicit SamplePackage(const RegionSelection& regions, uint64_t seed = 7) {
    GenerateImage(seed, image);
    PackageDescription description;
    description.model = "MX-R4410";
    description.regions = regions;
    dir.Write("PKG.bin", image);
    path = dir.Write("PKG.OUC", ParameterFileText(description, ImageChecksum(image)));
  }

  TempDirectory dir;
  FirmwareImage image;
  std::string path;
};

}  // namespace morv::testing
