// Every text reaches the operator unchanged.

#include "transport/pass_through_error_text.h"

#include <cstdio>
#include <string>

#include "scsi/message_lookup.h"
#include "scsi/scsi_drive.h"

namespace morv {

const std::array<StatusTextEntry, 9> kTargetStatusTableNT{{
    {0x02, "Check Condition."},
    {0x04, "Condition Met."},
    {0x08, "Target Busy."},
    {0x10, "Intermediate."},
    {0x14, "Intermediate-Condition Met."},
    {0x18, "Reservation Conflict."},
    {0x22, "Command Terminated."},
    {0x28, "Queue Full."},
    {0x00, ""},
}};

void ComposePassThroughErrorText(CScsiDrive& drive, uint8_t targetStatus) {
  constexpr uint8_t kTargetCheckCondition = 0x02;
  std::string& text = drive.m_errorText;
  text = drive.m_commandName;
  if (targetStatus == kTargetCheckCondition) {
    char vendorByte[4];
    std::snprintf(vendorByte, sizeof vendorByte, "%02X", static_cast<unsigned>(drive.m_request.sense[19]));
    text += SenseDetail(drive.Asc(), drive.Ascq(), vendorByte);
  } else {
    text += TargetStatusText(targetStatus, kTargetStatusTableNT);  // no separator
  }
}

}  // namespace morv
