#include "scsi/message_lookup.h"

#include <cstdio>
#include <span>

#include "scsi/message_tables.h"
#include "scsi/status_table_search.h"

namespace morv {

std::string TargetStatusText(uint8_t status, std::span<const StatusTextEntry> table) {
  return StatusTextOrUnknown(table, status, "Unknown Target status:%02X");
}

std::string SenseKeyText(uint8_t senseKey) { return FindStatusEntry(kSenseKeyTable, senseKey).text; }

std::string VendorErrorText(uint8_t code) { return FindStatusEntry(kVendorErrorTable, code).text; }

std::string SenseDetail(uint8_t asc, uint8_t ascq, const std::string& detail) {
  char text[16];
  std::snprintf(text, sizeof text, " %02X-%02X (", static_cast<unsigned>(asc), static_cast<unsigned>(ascq));
  return text + detail + ")";
}

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
