#pragma once
// What the update needs of the operator's device selection: the drive's description
// for the package's model check and its label for the history, the addressing of
// the drive object, and the text of a refused write. The dialog's selection halves provide it (ui/selection.h).

#include <cstdint>
#include <optional>
#include <string>

namespace morv {

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

class UpdateTarget {
 public:
  virtual ~UpdateTarget() = default;

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
};

}  // namespace morv
