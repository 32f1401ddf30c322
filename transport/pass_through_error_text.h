#pragma once
// MorvantideNT's error texts: the command name, then ASC-ASCQ and sense byte 19 of
// a check condition, else the target status in MorvantideNT's own words.

#include <array>
#include <cstdint>

#include "scsi/message_tables.h"

namespace morv {

class CScsiDrive;

/// SCSI status byte as MorvantideNT names it.
extern const std::array<StatusTextEntry, 9> kTargetStatusTableNT;

/// Rewrites drive.m_errorText after a request the drive answered with `targetStatus`.
void ComposePassThroughErrorText(CScsiDrive& drive, uint8_t targetStatus);

}  // namespace morv
