#pragma once
// What the update needs of the operator's device selection: the drive's description
// for the package's model check and its label for the history, the firmware version
// it showed, the claim on the drive and the addressing of the drive object, and the
// text of a refused write. The dialog's selection halves provide it (ui/selection.h).

#include <optional>
#include <string>

#include "platform/drive_claim.h"

namespace morv {

/// The selected drive as the update history names it.
struct DriveLabel {
  std::string address;         ///< "E:" (drive letter) or "0:2:0" (adapter:target:LUN)
  std::string identification;  ///< vendor and product as listed, without padding
  DevicePlace place;           ///< the node and SCSI address of the device claimed

  /// `text` without the blanks that pad identification fields.
  static std::string Unpadded(const std::string& text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, text.find_last_not_of(' ') - first + 1);
  }
};

class UpdateTarget {
 public:
  virtual ~UpdateTarget() = default;

  /// The selected drive's description for the package's model check; nullopt when
  /// no device is selected.
  virtual std::optional<std::string> DriveDescription() const = 0;
  /// The selected drive's address and identification for the update history, and
  /// where the claimed device sits (empty when nothing is claimed).
  virtual DriveLabel HistoryLabel() const = 0;
  /// The firmware version the selected drive reported when it was selected (or last
  /// shown); the text shown before when it did not answer.
  virtual std::string FirmwareVersion() const = 0;
  /// Shows `version`, which the selected drive reported, as its firmware version.
  virtual void ShowFirmwareVersion(const std::string& version) = 0;
  /// Addresses the drive object to the selection before an update.
  virtual void AddressDriveForUpdate() = 0;
  /// Claims the selected drive for the update and identifies it afresh: the update
  /// lock every program agrees on, the node held so its requests reach no other
  /// device, other programs kept off the drive where the system allows it. Sends
  /// nothing but the identification (INQUIRY). nullopt when the drive is claimed and
  /// is the device that was listed; otherwise nothing stays claimed and the text says
  /// why (another program updates the drive, something holds it, it is not the
  /// device that was listed, or the system's error).
  virtual std::optional<std::string> ClaimDriveForUpdate() = 0;
  /// Gives the claim up; every road out of an update calls it.
  virtual void ReleaseDriveForUpdate() = 0;
  /// Text shown after a refused firmware write.
  virtual std::string WriteFailureText() const = 0;
  /// While an update runs, selection changes and rescans must not re-address the
  /// drive object or send anything to it.
  virtual void SetUpdateRunning(bool running) = 0;
};

}  // namespace morv
