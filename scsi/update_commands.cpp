// The commands an update sends: TEST UNIT READY, INQUIRY, the vendor-unique TEST
// UNIT READY and WRITE BUFFER, plus Morvantide4's product-identification INQUIRY.
// Each owns one CDB template with static storage; a command writes only its own
// argument fields, so every other byte keeps its value between calls, and the
// execution merges the LUN into byte 1 in place.

#include <array>

#include "scsi/cdb_fields.h"
#include "scsi/identification_text.h"
#include "scsi/scsi_drive.h"

namespace morv {
namespace {

uint8_t s_testUnitReadyCdb[6] = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
uint8_t s_inquiryCdb[6] = {0x12, 0x00, 0x00, 0x00, 0x00, 0x00};
uint8_t s_testUnitReadyVUCdb[6] = {0x00, 0x00, 0x00, 0x00, 0x00, 0xC0};
uint8_t s_writeBufferCdb[10] = {kOpWriteBuffer, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
uint8_t s_inquireProductIdCdb[6] = {0x12, 0x00, 0x00, 0x00, 0xFF, 0x00};

inline constexpr uint32_t kProductIdBufferLength = 256;

}  // namespace

uint8_t CScsiDrive::TestUnitReady() { return Execute6(s_testUnitReadyCdb, kCommandTimeout); }

uint8_t CScsiDrive::Inquiry(uint8_t allocationLength) {
  s_inquiryCdb[4] = allocationLength;
  return Execute6(s_inquiryCdb, kCommandTimeout);
}

uint8_t* CScsiDrive::TestUnitReadyVU() { return s_testUnitReadyVUCdb; }

uint8_t CScsiDrive::WriteBuffer(uint8_t mode, uint8_t bufferId, uint32_t offset, uint32_t length) {
  s_writeBufferCdb[1] = mode & 0x07;
  s_writeBufferCdb[2] = bufferId;
  cdb::PutBigEndian(&s_writeBufferCdb[3], 3, offset);
  cdb::PutBigEndian(&s_writeBufferCdb[6], 3, length);
  return Execute10(s_writeBufferCdb, kCommandTimeout);
}

uint8_t CScsiDrive::InquireProductId(std::string& productId) {
  std::array<uint8_t, kProductIdBufferLength> data{};
  SetBuffer(data.data(), kProductIdBufferLength);
  uint8_t code = Execute6(s_inquireProductIdCdb, kProductIdTimeout);
  // Only a unit attention that the device itself reported asks for another try.
  for (int repeats = 0; repeats < kMaxUnitAttentionRepeats && code == kCodeError && UnitAttentionReported(); ++repeats)
    code = Execute6(s_inquireProductIdCdb, kProductIdTimeout);
  // The buffer dies with this call: never leave the drive object pointing at it.
  SetBuffer(nullptr, 0);

  // The 16 bytes from byte 16 as identification text; 16 spaces when it failed.
  productId = code == kCodeDone ? IdentificationText(data.data() + kProductOffset, kProductLength)
                                : std::string(kProductLength, ' ');
  return code;
}

}  // namespace morv
