#pragma once
// The update behind Update Start: checks the package, prepares the drive, asks the
// operator, downloads the selected regions with WRITE BUFFER and reports. It is written
// against the drive object, the feedback services, the program's selection half (as UpdateTarget) and
// the few dialog controls it touches, so both programs run the same sequence and tests
// run it without a toolkit.

#include <array>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>

#include "engine/update_history.h"
#include "platform/clock.h"
#include "platform/machine_power.h"
#include "scsi/scsi_drive.h"
#include "framework/feedback.h"
#include "engine/update_target.h"

namespace morv {

/// Texts of the update that the operator sees.
inline constexpr const char* kUpdateQuestionText = "Firmware Update Execute ?";
inline constexpr const char* kUpdateExecutingText = "Firmware Update Executing ";
inline constexpr const char* kUpdateCompleteText = "Firmware Update Complete";
inline constexpr const char* kAbortByUserText = "Abort By User";
/// The command name that opens every error text from the download on.
inline constexpr const char* kTestUnitReadyVUName = "TestUnitReadyVU";

/// At most this many TEST UNIT READY commands while the drive keeps reporting a power-on
/// or not-ready-to-ready change; past that the drive is taken as not ready.
inline constexpr int kMaxTestUnitReadyRounds = 20;
/// The pause before the drive is addressed, and the settling wait after the download in
/// steps of kSettleStep, all in milliseconds.
inline constexpr uint32_t kPrepareSleep = 10;
inline constexpr uint32_t kSettleTime = 2000;
inline constexpr uint32_t kSettleStep = 100;

/// On battery with less charge than this (percent), an update is refused before the
/// question: a machine that dies mid-download leaves the drive without firmware.
inline constexpr double kMinimumBatteryPercent = 25;
/// The refusal; %d is the charge left.
inline constexpr const char* kLowBatteryFormat =
    "The computer is running on battery with %d %% left, too little to update a drive's firmware safely.\n"
    "Plug in the power supply, then press Update Start again.";

/// The dialog controls the update touches.
class UpdateControls {
 public:
  virtual ~UpdateControls() = default;
  /// Enables or disables Update Start.
  virtual void EnableUpdateStart(bool enable) = 0;
  /// Enables or disables Exit.
  virtual void EnableExit(bool enable) = 0;
  /// Enables or disables Abort (its button stays hidden).
  virtual void EnableAbort(bool enable) = 0;
  /// The dialog's abort flag.
  virtual bool& AbortRequested() = 0;
};

/// Told how the download goes, for a front end that shows it (the command-line
/// flasher's progress, the dialog's progress bar).
class UpdateProgress {
 public:
  virtual ~UpdateProgress() = default;
  /// The operator has confirmed: `planned` pieces are to be sent.
  virtual void DownloadStarting(int planned) = 0;
  /// The drive has taken piece `sent` (counted from 1) of `planned`.
  virtual void PieceSent(int sent, int planned) = 0;
  /// Every piece has been taken and the drive settles: `waited` of `total`
  /// milliseconds have passed, told at each step and once with `waited` == `total`
  /// at the end. Nothing by default.
  virtual void Settling(uint32_t waited, uint32_t total) {
    (void)waited;
    (void)total;
  }
};

/// The command named in the history when a piece is refused.
inline constexpr const char* kWriteBufferCommand = "WRITE BUFFER";

/// What one update works with.
struct UpdateServices {
  CScsiDrive& drive;
  Feedback& feedback;
  UpdateTarget& selection;
  UpdateControls& controls;
  Clock& clock;
  /// Where the package reader writes its checksum line (standard output in the programs).
  std::FILE* trace = stdout;
  /// Where an update that reached the confirmation is recorded; none when null.
  UpdateHistory* history = nullptr;
  /// Checked for a battery before the question and kept awake for the download; the
  /// machine is left alone when null.
  MachinePower* power = nullptr;
  /// Told of the download's progress; nobody when null.
  UpdateProgress* progress = nullptr;
};

/// How an update ended; the operator has been told in every case but Declined.
enum class UpdateOutcome {
  Completed,        ///< every piece written, settled, "Firmware Update Complete" shown
  PackageRejected,  ///< a package check failed; nothing was sent
  AbortedByUser,    ///< the abort flag was set before the drive was addressed
  DriveRefused,     ///< the drive could not be claimed or is not the one listed; nothing was sent but INQUIRY
  DriveNotReady,    ///< the drive kept reporting a unit attention change
  BatteryLow,       ///< the machine ran on a battery too low for the download; nothing was sent
  Declined,         ///< the operator answered No
  WriteRefused,     ///< a piece was refused; the pieces after it were not sent
  NoMemory,         ///< an allocation failed; "Insufficient memory ..." was shown
};

/// The selected regions as the history names them: "1,2,3", "2", ... or "none".
std::string RegionsText(const std::array<bool, 3>& regions);
/// A refused piece as the history names it: "12/32 buffer 11 offset 0 length 16384"
/// for the 12th of 32 pieces.
std::string PieceText(int number, int planned, uint8_t bufferId, uint32_t bufferOffset, uint32_t length);

/// Runs one update of the package whose parameter file is `parameterFile` (the
/// operator's choice, as a path) from the press of Update Start to the controls
/// restored. Holds
/// SIGINT, SIGTERM and SIGHUP from the confirmation to the end, so that the download is
/// never cut off halfway; one that arrives meanwhile takes effect on return. The
/// machine is kept awake from the confirmation to the end of the settling wait. After
/// the settling wait the drive is asked for its version again, and what it answers is
/// shown through the selection before "Firmware Update Complete".
/// An update that reached the confirmation is recorded in `services.history` before
/// the controls are restored.
UpdateOutcome RunUpdate(const std::string& parameterFile, const UpdateServices& services);

}  // namespace morv
