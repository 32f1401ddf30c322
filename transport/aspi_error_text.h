#pragma once
// Morvantide4's error texts: the command name, then the completion code's text, the
// adapter status or the target status with its sense, in Morvantide4's own words;
// and its "Aspi Error" box for codes without a text of their own.

#include <array>
#include <cstdint>

#include "scsi/message_tables.h"

namespace morv {

class CScsiDrive;
class WaitFeedback;

/// SCSI status byte as Morvantide4 names it.
extern const std::array<StatusTextEntry, 4> kTargetStatusTable4;

/// Rewrites drive.m_errorText after a request that ended with completion code `code`;
/// a code without a text of its own also shows the "Aspi Error" box.
void ComposeAspiErrorText(CScsiDrive& drive, uint8_t code, WaitFeedback& feedback);

/// Exclamation beep, then a modal box "Aspi Error : <request status text>".
void ShowAspiError(uint8_t code, WaitFeedback& feedback);

}  // namespace morv
