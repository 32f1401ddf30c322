#pragma once
// The device-selection half of one program, as the main dialog uses it. MorvantideNT
// selects drives by drive letter, Morvantide4 by host adapter, target ID and LUN;
// both implementations live in transport/.

#include <cstdint>
#include <optional>
#include <string>

namespace morv {

class DialogWindow;

/// The selected drive as the update history names it.
struct DriveLabel {
  std::string address;         ///< "E:" (drive letter) or "0:2:0" (adapter:target:LUN)
  std::string identification;  ///< vendor and product as listed, without padding

  /// `text` without the blanks that pad identification fields.
  static std::string Unpadded(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
  }
};

class Selection {
 public:
  virtual ~Selection() = default;

  /// Binds to the main dialog's controls; called at the start of dialog initialisation.
  virtual void Attach(DialogWindow& window) = 0;
  /// The device steps of dialog initialisation (discovery, remembered selection).
  virtual void InitDevices() = 0;
  /// Menu "Rescan".
  virtual void OnRescan() = 0;
  /// Selection changes of the host adapter, device and LUN selectors.
  virtual void OnSelchangeHostAdapter() = 0;
  virtual void OnSelchangeDevice() = 0;
  virtual void OnSelchangeLun() = 0;

  /// The selected drive's description for the package's model check; nullopt when
  /// no device is selected.
  virtual std::optional<std::string> DriveDescription() const = 0;
  /// The selected drive's address and identification for the update history.
  virtual DriveLabel HistoryLabel() const = 0;
  /// Addresses the drive object to the selection before an update; `transferBuffer`
  /// is the update's 16 KiB buffer.
  virtual void AddressDriveForUpdate(uint8_t* transferBuffer) = 0;
  /// Text shown after a refused firmware write.
  virtual std::string WriteFailureText() const = 0;
  /// While an update runs, selection changes and rescans must not re-address the
  /// drive object or send anything to it.
  virtual void SetUpdateRunning(bool running) = 0;
  /// The dialog is being destroyed (Morvantide4 saves its profile here).
  virtual void OnDestroy() = 0;
};

}  // namespace morv
