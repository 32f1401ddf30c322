// Every text reaches the operator unchanged, misspellings included.

#include "transport/aspi_error_text.h"

#include <string>

#include "framework/wait_feedback.h"
#include "scsi/message_lookup.h"
#include "scsi/scsi_drive.h"

namespace morv {

const std::array<StatusTextEntry, 4> kTargetStatusTable4{{
    {0x02, "Check Condition."},
    {0x08, "Target Busy."},
    {0x18, "Request Conflict."},
    {0x00, ""},
}};

namespace {

inline constexpr uint8_t kTargetCheckCondition = 0x02;
/// The ASPI manager's request status for a failed data compare.
inline constexpr uint8_t kCodeCompareError = 0xFF;

/// Completion code 04h: adapter status first, then target status with the sense of
/// a check condition, else "Scsi Error.".
std::string StatusDetail(const CScsiDrive& drive) {
  if (drive.m_haStatus != 0x00) return HaStatusText(drive.m_haStatus);
  if (drive.m_targetStatus == 0x00) return "Scsi Error.";
  std::string text = TargetStatusText(drive.m_targetStatus, kTargetStatusTable4);
  if (drive.m_targetStatus == kTargetCheckCondition)
    text += SenseDetail(drive.Asc(), drive.Ascq(), SenseKeyText(drive.SenseKey()));
  return text;
}

/// The text after " Status : " for the codes that have one, else null.
const char* CodeText(uint8_t code) {
  switch (code) {
    case kCodePending: return "Aspi Timeout Error.";
    case kCodeAborted: return "Aborted.";
    case kCodeAbortFailed: return "Failed Abort.";
    case kCodeInvalidHa: return "Invalid Ha.";
    case kCodeNoDevice: return "No Device.";
    case kCodeInvalidSrb: return "Invalid SRB.";
    case kCodeFailedInit: return "Faild Initailize.";
    case kCodeAspiBusy: return "Aspi is busy.";
    case kCodeTargetBusy: return "This target is executing now.";
    case kCodeNoMemory: return "Memory Allocation Error.";
    case kCodeCompareError: return "Data Compare Error.";
    default: return nullptr;
  }
}

}  // namespace

void ComposeAspiErrorText(CScsiDrive& drive, uint8_t code, WaitFeedback& feedback) {
  // The separator's spacing depends on the code.
  std::string& text = drive.m_errorText;
  text = drive.m_commandName;
  if (code == kCodeDone) {
    text += " Status :";  // the transport has no detail to add
  } else if (code == kCodeError) {
    text += " Status:" + StatusDetail(drive);
  } else if (const char* codeText = CodeText(code)) {
    text += std::string(" Status : ") + codeText;
  } else {
    text += " Status : ASPI Error";
    ShowAspiError(code, feedback);
  }
}

void ShowAspiError(uint8_t code, WaitFeedback& feedback) {
  feedback.BeepMessageBox("Aspi Error : " + SrbStatusText(code), MB_ICONEXCLAMATION);
}

}  // namespace morv
