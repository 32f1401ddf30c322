#pragma once
// What the update needs of the operator's device selection: the drive's description
// for the package's model check, the addressing of the drive object, and the text
// of a refused write. The dialog's selection halves provide it (ui/selection.h).

#include <cstdint>
#include <optional>
#include <string>

namespace morv {

class UpdateTarget {
 public:
  virtual ~UpdateTarget() = default;

  /// The selected drive's description for the package's model check; nullopt when
  /// no device is selected.
  virtual std::optional<std::string> DriveDescription() const = 0;
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
