#pragma once
// INTERIM, to be replaced by device discovery: a selection that finds no device,
// so both programs run their dialog before their drives are listed.

#include <memory>
#include <optional>
#include <string>

#include "scsi/scsi_drive.h"
#include "ui/selection.h"

namespace morv {

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
