#include "sim/mx_r4410.h"

#include <cstring>

#include "sim/revision_stamp.h"

namespace morv::sim {
namespace {

constexpr uint8_t kOpTestUnitReady = 0x00;
constexpr uint8_t kOpWriteBuffer = 0x3B;

uint32_t Field24(const std::vector<uint8_t>& cdb, size_t at) {
  return (uint32_t{cdb[at]} << 16) | (uint32_t{cdb[at + 1]} << 8) | cdb[at + 2];
}

}  // namespace

MxR4410::MxR4410()
    : StandardDevice({0x05, true, "KESTREL", "MX-R4410", "1.00"}),
      m_downloaded(kBufferCount * kBufferSize, 0),
      m_saved(kBufferCount * kBufferSize, 0) {
  RaiseUnitAttention(0x29, 0x00);  // POWER ON, RESET, OR BUS DEVICE RESET OCCURRED
}

DeviceResult MxR4410::Respond(const DeviceCommand& command, std::vector<uint8_t>&) {
  switch (command.cdb[0]) {
    case kOpTestUnitReady:  // also the vendor-unique form (control byte C0h)
      return CheckCondition(0x02, 0x3A, 0x00);  // MEDIUM NOT PRESENT: there is no disc
    case kOpWriteBuffer:
      return WriteBuffer(command);
    default:
      return CheckCondition(0x05, 0x20, 0x00);  // INVALID COMMAND OPERATION CODE
  }
}

DeviceResult MxR4410::WriteBuffer(const DeviceCommand& command) {
  if (command.cdb.size() < 10) return CheckCondition(0x05, 0x20, 0x00);
  const uint8_t mode = command.cdb[1] & 0x1F;
  const uint8_t bufferId = command.cdb[2];
  const uint32_t offset = Field24(command.cdb, 3);
  const uint32_t length = Field24(command.cdb, 6);
  if ((mode != kModeDownload && mode != kModeDownloadAndSave) || bufferId >= kBufferCount ||
      offset > kBufferSize || length > kBufferSize - offset)
    return CheckCondition(0x05, 0x24, 0x00);  // INVALID FIELD IN CDB
  // The initiator must send exactly the parameter list the CDB announces.
  const bool dataMatches = length == 0 || (command.direction == DataDirection::Out &&
                                           command.dataLength == length && command.data != nullptr);
  if (!dataMatches) return CheckCondition(0x0B, 0x4B, 0x00);  // ABORTED COMMAND, DATA PHASE ERROR

  if (length != 0) std::memcpy(&m_downloaded[bufferId * kBufferSize + offset], command.data, length);
  if (mode == kModeDownloadAndSave) {
    m_saved = m_downloaded;
    ++m_saveCount;
    if (const auto revision = StampedRevision(m_saved.data(), m_saved.size())) SetRevision(*revision);
    RaiseUnitAttention(0x29, 0x00);  // the drive resets itself after the save
  }
  return Good();
}

}  // namespace morv::sim
