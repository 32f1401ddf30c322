#pragma once
// MorvantideNT's error texts: the command name, then ASC-ASCQ and sense byte 19 of
// a check condition, else the target status in MorvantideNT's own words.

#include <array>
#include <cstdint>
#include <string>

#include "scsi/message_tables.h"
#include "scsi/transport.h"

namespace morv {

/// SCSI status byte as MorvantideNT names it.
extern const std::array<StatusTextEntry, 9> kTargetStatusTableNT;

/// The text of a request the drive answered with a status other than good.
std::string PassThroughErrorText(const RequestOutcome& outcome, const std::string& commandName);

}  // namespace morv
