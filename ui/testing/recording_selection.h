#pragma once
// A selection half for dialog tests: records every call in order and, when asked,
// fills the device selector during InitDevices as discovery would.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/selection.h"

namespace morv {

class RecordingSelection : public Selection {
 public:
  /// "attach", "init-devices", "rescan", "selchange-ha", "selchange-device",
  /// "selchange-lun", "update-running 1", "destroy", ...
  std::vector<std::string> calls;
  /// Entries InitDevices and OnRescan put into the device selector (first selected).
  std::vector<std::string> devices;
  /// Firmware version shown for the selected device.
  std::string firmwareVersion;
  /// Runs at the start of InitDevices (tests look at the dialog's state there).
  std::function<void()> onInitDevices;
  std::optional<SelectorControls> controls;

  void Attach(const SelectorControls& c) override {
    controls.emplace(c);
    calls.push_back("attach");
  }
  void InitDevices() override {
    calls.push_back("init-devices");
    if (onInitDevices) onInitDevices();
    FillDevices();
  }
  void OnRescan() override {
    calls.push_back("rescan");
    FillDevices();
  }
  void OnSelchangeHostAdapter() override { calls.push_back("selchange-ha"); }
  void OnSelchangeDevice() override { calls.push_back("selchange-device"); }
  void OnSelchangeLun() override { calls.push_back("selchange-lun"); }
  std::optional<std::string> DriveDescription() const override { return std::nullopt; }
  DriveLabel HistoryLabel() const override { return {}; }
  std::string FirmwareVersion() const override { return firmwareVersion; }
  void ShowFirmwareVersion(const std::string& version) override { firmwareVersion = version; }
  void AddressDriveForUpdate() override { calls.push_back("address"); }
  std::optional<std::string> ClaimDriveForUpdate() override {
    calls.push_back("claim");
    return std::nullopt;
  }
  void ReleaseDriveForUpdate() override { calls.push_back("release"); }
  std::string WriteFailureText() const override { return {}; }
  void SetUpdateRunning(bool running) override { calls.push_back("update-running " + std::to_string(running)); }
  void OnDestroy() override { calls.push_back("destroy"); }

 private:
  void FillDevices() {
    controls->device.ResetContent();
    for (const auto& d : devices) controls->device.AddString(d);
    if (controls->device.SetCurSel(0) == 0) controls->firmwareVersion.SetWindowText(firmwareVersion);
  }
};

}  // namespace morv
