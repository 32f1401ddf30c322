// Every text reaches the operator unchanged.

#include "transport/pass_through_error_text.h"

#include <cstdio>
#include <string>

#include "scsi/message_lookup.h"

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

std::string PassThroughErrorText(const RequestOutcome& outcome, const std::string& commandName) {
  constexpr uint8_t kTargetCheckCondition = 0x02;
  const auto& sense = outcome.sense;
  if (outcome.targetStatus != kTargetCheckCondition)
    return commandName + TargetStatusText(outcome.targetStatus, kTargetStatusTableNT);  // no separator
  char vendorByte[4];
  std::snprintf(vendorByte, sizeof vendorByte, "%02X", static_cast<unsigned>(sense[19]));
  return commandName + SenseDetail(sense[12], sense[13], vendorByte);
}

}  // namespace morv
