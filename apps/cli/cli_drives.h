#pragma once
// The command-line flasher's way to the drives: each program's transport, drive
// object and selection half, the very ones its dialog uses, over a window in memory.
// A drive letter goes through MorvantideNT's pass-through, adapter:target:LUN through
// Morvantide4's ASPI manager, so a flash sends byte for byte what that program's
// dialog sends. Everything the front end needs of the core is here, in one place.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "apps/cli/drive_argument.h"
#include "engine/update_sequence.h"
#include "platform/drive_claim.h"
#include "platform/no_drive_reason.h"

namespace morv {

class CommandTrace;

/// One drive as `morvantide list` shows it.
struct ListedDrive {
  std::string drive;           ///< "E:" or "0:2:0"
  std::string identification;  ///< vendor and product as listed, without padding
  std::string description;     ///< the selector's text, which the package's model is looked for in
  std::string version;         ///< the firmware version it reported; empty when it did not answer
  DevicePlace place;           ///< its node and SCSI address when it was listed
};

class CliDrives {
 public:
  virtual ~CliDrives() = default;
  /// Scans, then asks every drive listed for its version.
  virtual std::vector<ListedDrive> List() = 0;
  /// Why the last scan listed no drive; none when it listed some.
  virtual std::optional<NoDriveReason> WhyNoDrive() const = 0;
  /// Scans and selects the drive `named` stands for, asking it (and no other drive) for its
  /// version; nullopt when the scan did not list it.
  virtual std::optional<ListedDrive> Select(const DriveArgument& named) = 0;
  /// The selection an update works on, once Select has found the drive.
  virtual UpdateTarget& Target() = 0;
  virtual CScsiDrive& Drive() = 0;
};

/// The drives reached the `way` one program does, real or emulated; every request is
/// traced when `trace` is given; `feedback` gets the boxes and pumps the waits.
std::unique_ptr<CliDrives> MakeCliDrives(DriveArgument::Way way, bool simulate, CommandTrace* trace, Feedback& feedback);

/// The dialog's controls as the command line has them: nothing to enable, an abort
/// flag nobody sets.
class CliUpdateControls : public UpdateControls {
 public:
  void EnableUpdateStart(bool) override {}
  void EnableExit(bool) override {}
  void EnableAbort(bool) override {}
  bool& AbortRequested() override { return m_abort; }

 private:
  bool m_abort = false;
};

}  // namespace morv
