// The request status and host adapter status texts, in a file of their own: only
// the ASPI transport shows them, so only the program that has it links them.
// Every text reaches the operator unchanged, misspellings included.

#include "scsi/message_lookup.h"
#include "scsi/message_tables.h"
#include "scsi/status_table_search.h"

namespace morv {

const std::array<StatusTextEntry, 9> kSrbStatusTable{{
    {0x02, "Aborted."},
    {0x04, "Error."},
    {0x81, "Invalid HA."},
    {0x82, "No Device."},
    {0xE0, "Invalid SRB."},
    {0xE4, "Faild Initailize."},
    {0xE5, "ASPI is busy."},
    {0xE6, "Buffer size is too big."},
    {0x00, "Timeout."},
}};

const std::array<StatusTextEntry, 5> kHaStatusTable{{
    {0x11, "Selection timeout."},
    {0x12, "Overrun or Underrun."},
    {0x13, "Busfree ditect."},
    {0x14, "Phase Error."},
    {0x00, ""},
}};

std::string SrbStatusText(uint8_t code) { return FindStatusEntry(kSrbStatusTable, code).text; }

std::string HaStatusText(uint8_t status) {
  return StatusTextOrUnknown(kHaStatusTable, status, "Unknown Ha status:%02X");
}

}  // namespace morv
