#pragma once
// The message tables behind every error text: request status, host adapter status,
// sense key, ASC/ASCQ and the drive's own
// one-byte error codes. Each table is searched from its first entry; its last entry
// is a terminator that never matches and whose text is the fallback where the
// lookup has one (scsi/message_lookup.h).

#include <array>
#include <cstdint>
#include <span>


namespace morv {

/// One entry of a status table; the terminator has code 00h.
struct StatusTextEntry {
  uint8_t code;
  const char* text;
};

/// One entry of the ASC/ASCQ table; the terminator has ASC FFh. An ASCQ of FFh
/// stands for every ASCQ of its ASC that no earlier entry names.
struct SenseCodeEntry {
  uint8_t asc;
  uint8_t ascq;
  const char* text;
};

/// ASCQ (and terminator ASC) that stands for "any".
inline constexpr uint8_t kAnySenseCode = 0xFF;

/// Request status codes (the same in both programs); terminator "Timeout.".
extern const std::array<StatusTextEntry, 9> kSrbStatusTable;
/// Host adapter status; terminator with the empty text.
extern const std::array<StatusTextEntry, 5> kHaStatusTable;
/// Sense key; terminator "NO SENSE".
extern const std::array<StatusTextEntry, 16> kSenseKeyTable;
/// ASC/ASCQ texts in table order, repeated 53h 02h entry included; terminator
/// FFh FFh "UNKNOWN ERROR CODE".
extern const std::array<SenseCodeEntry, 237> kSenseCodeTable;
/// The drive's one-byte error codes; terminator "NO ERROR".
extern const std::array<StatusTextEntry, 31> kVendorErrorTable;

}  // namespace morv
