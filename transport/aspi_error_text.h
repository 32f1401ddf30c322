#pragma once
// Morvantide4's error texts: the command name, then the completion code's text, the
// adapter status or the target status with its sense, in Morvantide4's own words;
// and its "Aspi Error" box, which the callers show for a manager status without a
// text of its own.

#include <array>
#include <cstdint>
#include <string>

#include "scsi/message_tables.h"
#include "scsi/transport.h"

namespace morv {

class WaitFeedback;

/// SCSI status byte as Morvantide4 names it.
extern const std::array<StatusTextEntry, 4> kTargetStatusTable4;

/// The text of a request that ended with `outcome`.
std::string AspiErrorText(const RequestOutcome& outcome, const std::string& commandName);

/// Whether the completion code has words of its own in the error text; one without
/// them ("ASPI Error") is shown to the operator with ShowAspiError.
bool AspiCodeHasText(uint8_t code);

/// Exclamation beep, then a modal box "Aspi Error : <request status text>".
void ShowAspiError(uint8_t code, WaitFeedback& feedback);

}  // namespace morv
