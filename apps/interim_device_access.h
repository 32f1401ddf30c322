#pragma once
// INTERIM, to be replaced by the real transports and device discovery: a transport
// that refuses every request and a selection that finds no device, so both
// programs start and run their dialog before drives can be reached.

#include <memory>
#include <optional>
#include <string>

#include "scsi/scsi_drive.h"
#include "ui/selection.h"

namespace morv {

/// Refuses every request before it reaches a device, with code 82h (no device).
class RefusingTransport : public Transport {
 public:
  explicit RefusingTransport(ProgramKind kind) : m_kind(kind) {}

  uint8_t ExecRequest(CScsiDrive& drive, const uint8_t*, uint8_t, int32_t) override {
    drive.m_request.completed = false;
    drive.m_request.sense.fill(0);
    drive.m_errorText = "No drive can be reached: this build has no drive access.";
    return kCodeNoDevice;
  }
  bool RepeatsOnUnitAttention() const override { return m_kind == ProgramKind::NT; }
  size_t SenseLength() const override { return m_kind == ProgramKind::NT ? 20 : 14; }
  ProgramKind Kind() const override { return m_kind; }
  void ResetDeviceCount() override {}

 private:
  ProgramKind m_kind;
};

/// Lists no device: the selectors stay empty and no drive is described.
class EmptySelection : public Selection {
 public:
  void Attach(DialogWindow&) override {}
  void InitDevices() override {}
  void OnRescan() override {}
  void OnSelchangeHostAdapter() override {}
  void OnSelchangeDevice() override {}
  void OnSelchangeLun() override {}
  std::optional<std::string> DriveDescription() const override { return std::nullopt; }
  void AddressDriveForUpdate(uint8_t*) override {}
  std::string WriteFailureText() const override { return {}; }
  void SetUpdateRunning(bool) override {}
  void OnDestroy() override {}
};

}  // namespace morv
