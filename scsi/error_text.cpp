#include "scsi/error_text.h"

#include <cstdio>
#include <string>

#include "scsi/message_lookup.h"
#include "scsi/scsi_drive.h"
#include "framework/feedback.h"

namespace morv {
namespace {

inline constexpr uint8_t kTargetCheckCondition = 0x02;
/// The ASPI manager's request status for a failed data compare.
inline constexpr uint8_t kCodeCompareError = 0xFF;

/// " %02X-%02X (...)": ASC, ASCQ and a closing detail in parentheses.
std::string SenseDetail(uint8_t asc, uint8_t ascq, const std::string& detail) {
  char text[16];
  std::snprintf(text, sizeof text, " %02X-%02X (", static_cast<unsigned>(asc), static_cast<unsigned>(ascq));
  return text + detail + ")";
}

/// Morvantide4, completion code 04h: adapter status first, then target status with
/// the sense of a check condition, else "Scsi Error.".
std::string StatusDetail4(const CScsiDrive& drive) {
  if (drive.m_haStatus != 0x00) return HaStatusText(drive.m_haStatus);
  if (drive.m_targetStatus == 0x00) return "Scsi Error.";
  std::string text = TargetStatusText(drive.m_targetStatus, ProgramKind::Four);
  if (drive.m_targetStatus == kTargetCheckCondition)
    text += SenseDetail(drive.Asc(), drive.Ascq(), SenseKeyText(drive.SenseKey()));
  return text;
}

/// The text after " Status : " for Morvantide4's codes that have one, else null.
const char* CodeText4(uint8_t code) {
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

/// Morvantide4: the command name, a separator whose spacing depends on the code,
/// and the code's text. A code without a text of its own also shows the box.
void Compose4(CScsiDrive& drive, uint8_t code) {
  std::string& text = drive.m_errorText;
  text = drive.m_commandName;
  if (code == kCodeDone) {
    text += " Status :";  // the transport has no detail to add
  } else if (code == kCodeError) {
    text += " Status:" + StatusDetail4(drive);
  } else if (const char* codeText = CodeText4(code)) {
    text += std::string(" Status : ") + codeText;
  } else {
    text += " Status : ASPI Error";
    ShowAspiError(code, drive.GetFeedback());
  }
}

/// MorvantideNT: the command name, then ASC-ASCQ and sense byte 19 for a check
/// condition, else the target status text with no separator.
void ComposeNT(CScsiDrive& drive, uint8_t targetStatus) {
  std::string& text = drive.m_errorText;
  text = drive.m_commandName;
  if (targetStatus == kTargetCheckCondition) {
    char vendorByte[4];
    std::snprintf(vendorByte, sizeof vendorByte, "%02X", static_cast<unsigned>(drive.m_request.sense[19]));
    text += SenseDetail(drive.Asc(), drive.Ascq(), vendorByte);
  } else {
    text += TargetStatusText(targetStatus, ProgramKind::NT);
  }
}

}  // namespace

void CScsiDrive::ComposeErrorText(uint8_t codeOrStatus) {
  if (GetTransport().Kind() == ProgramKind::NT)
    ComposeNT(*this, codeOrStatus);
  else
    Compose4(*this, codeOrStatus);
}

void ShowAspiError(uint8_t code, Feedback& feedback) {
  feedback.BeepMessageBox("Aspi Error : " + SrbStatusText(code), MB_ICONEXCLAMATION);
}

}  // namespace morv
