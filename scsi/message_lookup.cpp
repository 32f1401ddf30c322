#include "scsi/message_lookup.h"

#include <cstdio>
#include <span>

#include "scsi/message_tables.h"

namespace morv {
namespace {

/// The first entry before the terminator whose code is `code`, else the
/// terminator. The terminator's code is never compared, so 00h always ends there.
const StatusTextEntry& Find(std::span<const StatusTextEntry> table, uint8_t code) {
  for (const auto& entry : table) {
    if (entry.code == 0x00) return entry;
    if (entry.code == code) return entry;
  }
  return table.back();
}

/// The entry's text, or `unknownFormat` (with one %02X) filled in with `code`.
std::string TextOrUnknown(std::span<const StatusTextEntry> table, uint8_t code, const char* unknownFormat) {
  const auto& entry = Find(table, code);
  if (entry.code != 0x00) return entry.text;
  char text[64];
  std::snprintf(text, sizeof text, unknownFormat, static_cast<unsigned>(code));
  return text;
}

}  // namespace

std::string SrbStatusText(uint8_t code) { return Find(kSrbStatusTable, code).text; }

std::string HaStatusText(uint8_t status) {
  return TextOrUnknown(kHaStatusTable, status, "Unknown Ha status:%02X");
}

std::string TargetStatusText(uint8_t status, ProgramKind kind) {
  return TextOrUnknown(TargetStatusTable(kind), status, "Unknown Target status:%02X");
}

std::string SenseKeyText(uint8_t senseKey) { return Find(kSenseKeyTable, senseKey).text; }

std::string VendorErrorText(uint8_t code) { return Find(kVendorErrorTable, code).text; }

std::string SenseCodeText(uint8_t asc, uint8_t ascq) {
  for (const auto& entry : kSenseCodeTable) {
    if (entry.asc == kAnySenseCode) return entry.text;
    if (entry.asc != asc) continue;
    if (entry.ascq == ascq) return entry.text;
    if (entry.ascq == kAnySenseCode) return std::string(entry.text) + "(" + std::to_string(ascq) + ")";
  }
  return kSenseCodeTable.back().text;
}

}  // namespace morv
