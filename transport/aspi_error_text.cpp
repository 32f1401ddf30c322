// Every text reaches the operator unchanged, misspellings included.

#include "transport/aspi_error_text.h"

#include <string>

#include "framework/wait_feedback.h"
#include "scsi/message_lookup.h"

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
std::string StatusDetail(const RequestOutcome& outcome) {
  if (outcome.haStatus != 0x00) return HaStatusText(outcome.haStatus);
  if (outcome.targetStatus == 0x00) return "Scsi Error.";
  std::string text = TargetStatusText(outcome.targetStatus, kTargetStatusTable4);
  const auto& sense = outcome.sense;
  if (outcome.targetStatus == kTargetCheckCondition)
    text += SenseDetail(sense[12], sense[13], SenseKeyText(sense[2] & 0x0F));
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

std::string AspiErrorText(const RequestOutcome& outcome, const std::string& commandName) {
  // The separator's spacing depends on the code.
  if (outcome.code == kCodeDone) return commandName + " Status :";  // no detail to add
  if (outcome.code == kCodeError) return commandName + " Status:" + StatusDetail(outcome);
  if (const char* codeText = CodeText(outcome.code)) return commandName + " Status : " + codeText;
  return commandName + " Status : ASPI Error";
}

bool AspiCodeHasText(uint8_t code) { return code == kCodeDone || code == kCodeError || CodeText(code) != nullptr; }

void ShowAspiError(uint8_t code, WaitFeedback& feedback) {
  feedback.BeepMessageBox("Aspi Error : " + SrbStatusText(code), MB_ICONEXCLAMATION);
}

}  // namespace morv
