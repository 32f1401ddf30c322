#include "engine/update_sequence.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>

#include "engine/package_report.h"
#include "engine/sha256.h"
#include "engine/write_plan.h"
#include "platform/termination_hold.h"

namespace morv {
namespace {

constexpr uint8_t kAscNotReadyToReadyChange = 0x28;
constexpr uint8_t kAscPowerOnOrReset = 0x29;
constexpr uint8_t kAscMediumNotPresent = 0x3A;

/// One press of Update Start. Constructing it locks the dialog and begins the busy
/// cursor; destroying it restores both, so every road out (an exception included)
/// leaves the dialog usable.
class UpdateRun {
 public:
  UpdateRun(const std::string& parameterFile, const UpdateServices& services);
  ~UpdateRun();
  UpdateRun(const UpdateRun&) = delete;
  UpdateRun& operator=(const UpdateRun&) = delete;

  /// The update; a failed allocation is reported like any other failure.
  UpdateOutcome Run();

 private:
  UpdateOutcome Steps();
  /// TEST UNIT READY until the drive stops reporting a power-on or ready change.
  bool ClearUnitAttention();
  /// False, after telling the operator, when the machine runs on a battery too low.
  bool EnoughPower();
  bool Confirmed();
  void SendTestUnitReadyVU();
  /// Piece `number` of `planned`; false, after telling the operator, when it is refused.
  bool SendPiece(const WritePiece& piece, int number, int planned, const BlockModes& modes,
                 const FirmwareImage& image);
  /// Waits kSettleTime by the tick count, sleeping in steps; no messages are processed,
  /// but the window is painted where it needs it at every step.
  void Settle();
  /// Asks the drive for its version and has the selection show it; nullopt, with
  /// nothing changed on screen, when the drive does not answer.
  std::optional<std::string> ShowNewVersion();
  /// Beep and box with `text`; an update the operator was asked about records it as
  /// its outcome first when `ends` says the update ends with it.
  void ReportFailure(const std::string& text, bool ends);
  /// Whether the operator was asked; from then on the update goes into the history.
  bool Asked() const { return m_record.has_value(); }
  /// Writes the history line with `outcome`, once, as soon as the outcome is known
  /// and before anything is shown: a box nobody answers (a lost display, a hung-up
  /// terminal, a held signal) must not keep the line from being written.
  void RecordOutcome(const std::string& outcome);

  /// What the history gets, from the question on.
  std::optional<UpdateRecord> m_record;
  /// The package's part of the record, known before the question.
  UpdateRecord m_package;
  bool m_recorded = false;

  const std::string m_parameterFile;
  const UpdateServices& m_services;
  CScsiDrive& m_drive;
  Feedback& m_feedback;
  UpdateTarget& m_selection;
  UpdateControls& m_controls;
  /// Whether the drive is claimed, so the claim is given up on the way out.
  bool m_driveClaimed = false;
  /// Set from the confirmation on; destroyed last, after the controls are restored, so
  /// a held signal ends the process only with the dialog usable again.
  std::optional<TerminationHold> m_terminationHold;
  /// Keeps the machine awake for the download; dropped when the download ends.
  std::optional<KeepAwakeHold> m_keepAwake;
  /// Every piece goes out from here, never from the image itself.
  std::array<uint8_t, kBlockSize> m_transferBuffer{};
};

UpdateRun::UpdateRun(const std::string& parameterFile, const UpdateServices& services)
    : m_parameterFile(parameterFile),
      m_services(services),
      m_drive(services.drive),
      m_feedback(services.feedback),
      m_selection(services.selection),
      m_controls(services.controls) {
  m_controls.EnableUpdateStart(false);
  m_controls.EnableExit(false);
  m_feedback.BeginWaitCursor();
  m_feedback.SetStatusLine("");
  m_controls.EnableAbort(true);
  m_controls.AbortRequested() = false;
  // From here to the end the selection leaves the drive object's address alone.
  m_selection.SetUpdateRunning(true);
}

UpdateRun::~UpdateRun() {
  // The drive object must not keep pointing at a buffer that dies with this run.
  if (m_drive.UsesBuffer(m_transferBuffer.data())) m_drive.SetBuffer(nullptr, 0);
  if (m_driveClaimed) m_selection.ReleaseDriveForUpdate();
  m_selection.SetUpdateRunning(false);
  m_controls.EnableAbort(false);
  m_controls.EnableUpdateStart(true);
  m_controls.EnableExit(true);
  m_feedback.EndWaitCursor();
}

UpdateOutcome UpdateRun::Run() {
  UpdateOutcome outcome;
  try {
    outcome = Steps();
  } catch (const std::bad_alloc&) {
    if (Asked()) RecordOutcome(m_feedback.LoadString(kStringNoMemory));
    m_feedback.BeepMessageBoxId(kStringNoMemory, MB_ICONHAND);
    outcome = UpdateOutcome::NoMemory;
  }
  return outcome;
}

void UpdateRun::RecordOutcome(const std::string& outcome) {
  m_record->outcome = outcome;
  if (m_recorded) return;
  m_recorded = true;
  // Inside the signal hold: a termination signal waits for the line.
  if (m_services.history != nullptr) m_services.history->Append(*m_record);
}

UpdateOutcome UpdateRun::Steps() {
  ParameterFile parameters;
  FirmwareImage image;
  m_package.parameterFile = m_parameterFile;
  m_package.versionBefore = m_selection.FirmwareVersion();
  const PackageVerdict verdict =
      ReadPackage(m_package.parameterFile, ModelIn(m_selection.DriveDescription()), parameters, image);
  if (!ReportPackage(verdict, parameters, m_feedback, m_services.trace)) return UpdateOutcome::PackageRejected;

  const RegionSelection regions = SelectedRegions(parameters);
  m_package.checksumField = parameters.checksumText;
  m_package.regions = RegionsText(regions);
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(m_package.parameterFile, error);
  m_package.packagePath = error ? m_package.parameterFile : absolute.lexically_normal().string();
  // The hash is for the history line only; an update without a history skips the
  // half-megabyte pass.
  if (m_services.history != nullptr) m_package.imageSha256 = Sha256Hex(image.data(), image.size());
  const BlockModes modes = BuildBlockModes(regions);
  m_services.clock.Sleep(kPrepareSleep);

  // Nothing sets the flag yet; this is where an abort would still leave the drive untouched.
  if (m_controls.AbortRequested()) {
    m_feedback.MessageBeep(kSimpleBeep);
    m_feedback.SetStatusLine(kAbortByUserText);
    m_feedback.AfxMessageBox(kAbortByUserText, MB_OK);
    return UpdateOutcome::AbortedByUser;
  }

  if (!EnoughPower()) return UpdateOutcome::BatteryLow;
  // From here to the end the drive is ours alone, and is the device that was listed.
  if (const std::optional<std::string> refusal = m_selection.ClaimDriveForUpdate()) {
    ReportFailure(*refusal, true);
    return UpdateOutcome::DriveRefused;
  }
  m_driveClaimed = true;
  m_selection.AddressDriveForUpdate();
  if (!ClearUnitAttention()) return UpdateOutcome::DriveNotReady;
  m_record = m_package;
  m_record->time = std::chrono::system_clock::now();
  const DriveLabel label = m_selection.HistoryLabel();
  m_record->driveAddress = label.address;
  m_record->identification = label.identification;
  m_record->node = label.place.node;
  m_record->scsiAddress = label.place.address;
  if (!Confirmed()) {
    RecordOutcome(kOutcomeDeclined);
    return UpdateOutcome::Declined;
  }
  m_record->confirmed = true;

  m_terminationHold.emplace();
  m_feedback.SetStatusLine(kUpdateExecutingText);
  m_feedback.RestoreWaitCursor();
  // After the cursor: the system may take a moment to grant the hold.
  if (m_services.power != nullptr) m_keepAwake.emplace(*m_services.power);
  SendTestUnitReadyVU();

  const auto plan = BuildWritePlan(regions);
  const int planned = static_cast<int>(plan.size());
  if (m_services.progress != nullptr) m_services.progress->DownloadStarting(planned);
  for (int number = 1; number <= planned; ++number)
    if (!SendPiece(plan[number - 1], number, planned, modes, image)) return UpdateOutcome::WriteRefused;

  Settle();
  // The flash has succeeded whatever this inquiry meets: a drive that does not answer
  // leaves the field as it was and shows nothing. Asked before the completion box,
  // so that the history line, version included, is written before anything is shown.
  m_feedback.RestoreWaitCursor();
  m_record->versionAfter = ShowNewVersion();
  RecordOutcome(kOutcomeComplete);
  // Released before the box: a box nobody answers must not keep the machine up.
  m_keepAwake.reset();
  m_feedback.MessageBeep(MB_ICONQUESTION);
  m_feedback.SetStatusLine(kUpdateCompleteText);
  m_feedback.AfxMessageBox(kUpdateCompleteText, MB_OK);
  return UpdateOutcome::Completed;
}

bool UpdateRun::ClearUnitAttention() {
  for (int round = 1; round <= kMaxTestUnitReadyRounds; ++round) {
    // The completion code does not matter here: a drive that is merely not ready is
    // told about by the commands that follow.
    m_drive.TestUnitReady();
    const uint8_t asc = m_drive.Asc();
    if (asc != kAscPowerOnOrReset && asc != kAscNotReadyToReadyChange) return true;
  }
  ReportFailure(m_drive.GetErrorText(), true);
  return false;
}

bool UpdateRun::EnoughPower() {
  if (m_services.power == nullptr) return true;
  // A desktop has no battery, and a charge nobody knows is no reason to refuse.
  const PowerSupply supply = m_services.power->Supply();
  if (!supply.onBattery || !supply.batteryPercent || *supply.batteryPercent >= kMinimumBatteryPercent) return true;
  char text[256];
  std::snprintf(text, sizeof text, kLowBatteryFormat, static_cast<int>(*supply.batteryPercent));
  ReportFailure(text, true);
  return false;
}

bool UpdateRun::Confirmed() {
  m_feedback.MessageBeep(MB_ICONQUESTION);
  return m_feedback.AfxMessageBox(kUpdateQuestionText, MB_YESNO) != IDNO;
}

void UpdateRun::SendTestUnitReadyVU() {
  m_drive.SetCommandName(kTestUnitReadyVUName);
  const uint8_t code = m_drive.Execute6(CScsiDrive::TestUnitReadyVU(), kCommandTimeout);
  // A drive without a disc refuses it as expected; any other refusal is shown, and the
  // download goes on all the same.
  if (code != kCodeDone && m_drive.Asc() != kAscMediumNotPresent) ReportFailure(m_drive.GetErrorText(), false);
}

bool UpdateRun::SendPiece(const WritePiece& piece, int number, int planned, const BlockModes& modes,
                          const FirmwareImage& image) {
  m_drive.SetBuffer(m_transferBuffer.data(), piece.length);
  std::memcpy(m_transferBuffer.data(), image.data() + piece.imageOffset, piece.length);
  const uint8_t code = m_drive.WriteBuffer(modes[piece.bufferId], piece.bufferId, piece.bufferOffset, piece.length);
  if (code != kCodeDone) {
    // The download ends here: the machine may sleep again while the box waits.
    m_keepAwake.reset();
    m_record->failedCommand = kWriteBufferCommand;
    m_record->failedPiece = PieceText(number, planned, piece.bufferId, piece.bufferOffset, piece.length);
    ReportFailure(m_selection.WriteFailureText(), true);
    return false;
  }
  if (m_services.progress != nullptr) m_services.progress->PieceSent(number, planned);
  if (piece.restoreCursorAfter) m_feedback.RestoreWaitCursor();
  // A transport that blocks processes no messages during a command: what another
  // window uncovered meanwhile is painted here.
  m_feedback.PaintExposed();
  return true;
}

void UpdateRun::Settle() {
  m_feedback.RestoreWaitCursor();
  Clock& clock = m_services.clock;
  UpdateProgress* progress = m_services.progress;
  const uint32_t start = clock.TickCount();
  // Unsigned difference: a wrap of the tick counter does no harm.
  for (uint32_t waited; (waited = clock.TickCount() - start) < kSettleTime; clock.Sleep(kSettleStep)) {
    if (progress != nullptr) progress->Settling(waited, kSettleTime);
    m_feedback.PaintExposed();
  }
  if (progress != nullptr) progress->Settling(kSettleTime, kSettleTime);
}

std::optional<std::string> UpdateRun::ShowNewVersion() {
  std::string version;
  if (m_drive.InquireFirmwareVersion(version) != kCodeDone) return std::nullopt;
  m_selection.ShowFirmwareVersion(version);
  return version;
}

void UpdateRun::ReportFailure(const std::string& text, bool ends) {
  if (Asked() && ends) RecordOutcome(text);
  m_feedback.MessageBeep(kSimpleBeep);
  m_feedback.AfxMessageBox(text, MB_OK);
}

}  // namespace

std::string RegionsText(const RegionSelection& regions) {
  std::string text;
  for (int region = 0; region < 3; ++region)
    if (regions[region]) text += (text.empty() ? "" : ",") + std::to_string(region + 1);
  return text.empty() ? "none" : text;
}

std::string PieceText(int number, int planned, uint8_t bufferId, uint32_t bufferOffset, uint32_t length) {
  return std::to_string(number) + "/" + std::to_string(planned) + " buffer " + std::to_string(bufferId) + " offset " +
         std::to_string(bufferOffset) + " length " + std::to_string(length);
}

UpdateOutcome RunUpdate(const std::string& parameterFile, const UpdateServices& services) {
  UpdateRun run(parameterFile, services);
  return run.Run();
}

}  // namespace morv
