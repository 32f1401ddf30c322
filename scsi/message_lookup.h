#pragma once
// Lookups over the message tables. Every argument yields a text; each returns its
// own copy, so a text stays valid however many lookups follow.

#include <cstdint>
#include <string>

#include <span>

#include "scsi/message_tables.h"

namespace morv {

/// Request status text; "Timeout." for a code without an entry (and for 00h).
std::string SrbStatusText(uint8_t code);
/// Host adapter status text; "Unknown Ha status:%02X" for a byte without an entry.
std::string HaStatusText(uint8_t status);
/// Target status text from the program's `table`; "Unknown Target status:%02X" otherwise.
std::string TargetStatusText(uint8_t status, std::span<const StatusTextEntry> table);
/// Sense key text; "NO SENSE" for key 0 and any key without an entry.
std::string SenseKeyText(uint8_t senseKey);
/// ASC/ASCQ text: an exact entry as it stands, a catch-all entry as "text(ascq)"
/// with the ASCQ in decimal, "UNKNOWN ERROR CODE" for a pair without an entry.
std::string SenseCodeText(uint8_t asc, uint8_t ascq);
/// The drive's own error code text; "NO ERROR" for a code without an entry.
std::string VendorErrorText(uint8_t code);
/// " %02X-%02X (<detail>)": ASC and ASCQ of a check condition and a detail in
/// parentheses, as both programs' error texts show them.
std::string SenseDetail(uint8_t asc, uint8_t ascq, const std::string& detail);

}  // namespace morv
