#pragma once
// The search every status table lookup shares: each table ends in a terminator that
// never matches and whose text is the fallback.

#include <cstdio>
#include <span>
#include <string>

#include "scsi/message_tables.h"

namespace morv {

/// The first entry before the terminator whose code is `code`, else the
/// terminator. The terminator's code is never compared, so 00h always ends there.
inline const StatusTextEntry& FindStatusEntry(std::span<const StatusTextEntry> table, uint8_t code) {
  for (const auto& entry : table) {
    if (entry.code == 0x00) return entry;
    if (entry.code == code) return entry;
  }
  return table.back();
}

/// The entry's text, or `unknownFormat` (with one %02X) filled in with `code`.
inline std::string StatusTextOrUnknown(std::span<const StatusTextEntry> table, uint8_t code, const char* unknownFormat) {
  const auto& entry = FindStatusEntry(table, code);
  if (entry.code != 0x00) return entry.text;
  char text[64];
  std::snprintf(text, sizeof text, unknownFormat, static_cast<unsigned>(code));
  return text;
}

}  // namespace morv
