#include "engine/update_sequence.h"

#include <array>
#include <chrono>
#include <cstring>
#include <new>
#include <optional>

#include "engine/package_report.h"
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
  explicit UpdateRun(const UpdateServices& services);
  ~UpdateRun();
  UpdateRun(const UpdateRun&) = delete;
  UpdateRun& operator=(const UpdateRun&) = delete;

  /// Steps 2 to 15; a failed allocation is reported like any other failure.
  UpdateOutcome Run();

 private:
  UpdateOutcome Steps();
  /// TEST UNIT READY until the drive stops reporting a power-on or ready change.
  bool ClearUnitAttention();
  bool Confirmed();
  void SendTestUnitReadyVU();
  bool SendPiece(const WritePiece& piece, const BlockModes& modes, const FirmwareImage& image);
  /// Waits kSettleTime by the tick count, sleeping in steps; no messages are processed.
  void Settle();
  void ReportFailure(const std::string& text);
  /// Whether the operator was asked; from then on the update goes into the history.
  bool Asked() const { return m_record.has_value(); }

  /// What the history gets, from the question on.
  std::optional<UpdateRecord> m_record;
  /// The package's part of the record, known before the question.
  UpdateRecord m_package;

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
  /// Every piece goes out from here, never from the image itself.
  std::array<uint8_t, kBlockSize> m_transferBuffer{};
};

UpdateRun::UpdateRun(const UpdateServices& services)
    : m_services(services),
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
  if (m_drive.m_request.data == m_transferBuffer.data()) m_drive.SetBuffer(nullptr, 0);
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
    m_feedback.BeepMessageBoxId(kStringNoMemory, MB_ICONHAND);
    if (Asked()) m_record->outcome = m_feedback.LoadString(kStringNoMemory);
    outcome = UpdateOutcome::NoMemory;
  }
  // Still inside the signal hold: a termination signal waits for the line.
  if (Asked() && m_services.history != nullptr) m_services.history->Append(*m_record);
  return outcome;
}

UpdateOutcome UpdateRun::Steps() {
  ParameterFile parameters;
  FirmwareImage image;
  m_package.parameterFile = m_controls.SelectedFile();
  m_package.versionBefore = m_controls.FirmwareVersion();
  const PackageVerdict verdict =
      ReadPackage(m_package.parameterFile, ModelIn(m_selection.DriveDescription()), parameters, image);
  if (!ReportPackage(verdict, parameters, m_feedback, m_services.trace)) return UpdateOutcome::PackageRejected;

  const RegionSelection regions = SelectedRegions(parameters);
  m_package.checksumField = parameters.checksumText;
  m_package.regions = RegionsText(regions);
  const BlockModes modes = BuildBlockModes(regions);
  m_services.clock.Sleep(kPrepareSleep);

  // Nothing sets the flag yet; this is where an abort would still leave the drive untouched.
  if (m_controls.AbortRequested()) {
    m_feedback.MessageBeep(kSimpleBeep);
    m_feedback.SetStatusLine(kAbortByUserText);
    m_feedback.AfxMessageBox(kAbortByUserText, MB_OK);
    return UpdateOutcome::AbortedByUser;
  }

  // From here to the end the drive is ours alone, and is the device that was listed.
  if (const std::optional<std::string> refusal = m_selection.ClaimDriveForUpdate()) {
    ReportFailure(*refusal);
    return UpdateOutcome::DriveRefused;
  }
  m_driveClaimed = true;
  m_selection.AddressDriveForUpdate(m_transferBuffer.data());
  if (!ClearUnitAttention()) return UpdateOutcome::DriveNotReady;
  m_record = m_package;
  m_record->time = std::chrono::system_clock::now();
  const DriveLabel label = m_selection.HistoryLabel();
  m_record->driveAddress = label.address;
  m_record->identification = label.identification;
  if (!Confirmed()) {
    m_record->outcome = kOutcomeDeclined;
    return UpdateOutcome::Declined;
  }
  m_record->confirmed = true;

  m_terminationHold.emplace();
  m_feedback.SetStatusLine(kUpdateExecutingText);
  m_feedback.RestoreWaitCursor();
  SendTestUnitReadyVU();

  for (const auto& piece : BuildWritePlan(regions))
    if (!SendPiece(piece, modes, image)) return UpdateOutcome::WriteRefused;

  Settle();
  m_feedback.MessageBeep(MB_ICONQUESTION);
  m_feedback.SetStatusLine(kUpdateCompleteText);
  m_feedback.AfxMessageBox(kUpdateCompleteText, MB_OK);
  m_record->outcome = kOutcomeComplete;
  // The flash has succeeded whatever this inquiry meets: a drive that does not answer
  // leaves the field as it was and shows nothing.
  m_feedback.RestoreWaitCursor();
  m_record->versionAfter = m_controls.RefreshFirmwareVersion();
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
  ReportFailure(m_drive.GetErrorText());
  return false;
}

bool UpdateRun::Confirmed() {
  m_feedback.MessageBeep(MB_ICONQUESTION);
  return m_feedback.AfxMessageBox(kUpdateQuestionText, MB_YESNO) != IDNO;
}

void UpdateRun::SendTestUnitReadyVU() {
  m_drive.m_commandName = kTestUnitReadyVUName;
  const uint8_t code = m_drive.Execute6(CScsiDrive::TestUnitReadyVU(), kCommandTimeout);
  // A drive without a disc refuses it as expected; any other refusal is shown, and the
  // download goes on all the same.
  if (code != kCodeDone && m_drive.Asc() != kAscMediumNotPresent) ReportFailure(m_drive.GetErrorText());
}

bool UpdateRun::SendPiece(const WritePiece& piece, const BlockModes& modes, const FirmwareImage& image) {
  m_drive.SetBuffer(m_transferBuffer.data(), piece.length);
  std::memcpy(m_transferBuffer.data(), image.data() + piece.imageOffset, piece.length);
  const uint8_t code = m_drive.WriteBuffer(modes[piece.bufferId], piece.bufferId, piece.bufferOffset, piece.length);
  if (code != kCodeDone) {
    ReportFailure(m_selection.WriteFailureText());
    return false;
  }
  if (piece.restoreCursorAfter) m_feedback.RestoreWaitCursor();
  return true;
}

void UpdateRun::Settle() {
  m_feedback.RestoreWaitCursor();
  Clock& clock = m_services.clock;
  const uint32_t start = clock.TickCount();
  // Unsigned difference: a wrap of the tick counter does no harm.
  while (clock.TickCount() - start < kSettleTime) clock.Sleep(kSettleStep);
}

void UpdateRun::ReportFailure(const std::string& text) {
  if (Asked()) m_record->outcome = text;
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

UpdateOutcome RunUpdate(const UpdateServices& services) {
  UpdateRun run(services);
  return run.Run();
}

}  // namespace morv
