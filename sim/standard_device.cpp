#include "sim/standard_device.h"

#include <algorithm>
#include <cstring>

namespace morv::sim {
namespace {

constexpr uint8_t kOpInquiry = 0x12;
constexpr uint8_t kOpRequestSense = 0x03;

void PutText(std::vector<uint8_t>& data, size_t at, size_t width, const std::string& text) {
  for (size_t i = 0; i < width; ++i) data[at + i] = i < text.size() ? static_cast<uint8_t>(text[i]) : ' ';
}

// Allocation length of a 6-byte CDB (bytes 3 and 4, as INQUIRY has it since SPC-3;
// older initiators leave byte 3 zero).
uint32_t AllocationLength(const std::vector<uint8_t>& cdb) {
  return cdb.size() >= 5 ? (uint32_t{cdb[3]} << 8) | cdb[4] : 0;
}

}  // namespace

StandardDevice::StandardDevice(Identity identity) : m_identity(std::move(identity)) {}

bool StandardDevice::Present() const { return m_vanishAt == 0 || m_commandCount + 1 < m_vanishAt; }

void StandardDevice::RefuseCommand(size_t number, uint8_t key, uint8_t asc, uint8_t ascq) {
  m_refusedCommands[number] = FixedSense(key, asc, ascq);
}

void StandardDevice::RefuseOperation(uint8_t operationCode, uint8_t key, uint8_t asc, uint8_t ascq) {
  m_refusedOperations[operationCode] = FixedSense(key, asc, ascq);
}

void StandardDevice::RaiseUnitAttention(uint8_t asc, uint8_t ascq) { m_pendingAttention = FixedSense(0x06, asc, ascq); }

std::vector<uint8_t> StandardDevice::InquiryData() const {
  std::vector<uint8_t> data(kInquiryLength, 0);
  data[0] = m_identity.type & 0x1F;
  data[1] = m_identity.removable ? 0x80 : 0x00;
  data[2] = 0x02;  // SCSI-2
  data[3] = 0x02;  // response data format
  data[4] = static_cast<uint8_t>(kInquiryLength - 5);
  PutText(data, 8, 8, m_identity.vendor);
  PutText(data, 16, 16, m_identity.product);
  PutText(data, 32, 4, m_identity.revision);
  return data;
}

DeviceResult StandardDevice::Execute(const DeviceCommand& command) {
  if (!Present()) {
    // Nothing answers at this address any more; platforms check Present() first.
    return CheckCondition(0x04, 0x08, 0x00);  // LOGICAL UNIT COMMUNICATION FAILURE
  }
  ++m_commandCount;
  std::vector<uint8_t> dataIn;
  DeviceResult result = Answer(command, dataIn);
  // Data reaches the initiator only in a data-in phase, and never past its length.
  if (command.direction == DataDirection::In && command.data != nullptr) {
    dataIn.resize(std::min<size_t>(dataIn.size(), command.dataLength));
    if (!dataIn.empty()) std::memcpy(command.data, dataIn.data(), dataIn.size());
  } else {
    dataIn.clear();
  }
  Remember(command, dataIn, result);
  return result;
}

DeviceResult StandardDevice::Answer(const DeviceCommand& command, std::vector<uint8_t>& dataIn) {
  if (m_busy) return {kStatusBusy, {}};
  if (auto refused = m_refusedCommands.find(m_commandCount); refused != m_refusedCommands.end())
    return {kStatusCheckCondition, refused->second};
  if (command.cdb.empty()) return CheckCondition(0x05, 0x20, 0x00);  // INVALID COMMAND OPERATION CODE
  const uint8_t operationCode = command.cdb[0];
  const bool otherLun = command.cdb.size() > 1 && (command.cdb[1] >> 5) != 0;
  // A pending unit attention comes before any other answer, except to INQUIRY and
  // REQUEST SENSE, and only on the logical unit it belongs to.
  if (!m_pendingAttention.empty() && !otherLun && operationCode != kOpInquiry && operationCode != kOpRequestSense) {
    DeviceResult attention{kStatusCheckCondition, m_pendingAttention};
    m_pendingAttention.clear();
    return attention;
  }
  if (auto refused = m_refusedOperations.find(operationCode); refused != m_refusedOperations.end())
    return {kStatusCheckCondition, refused->second};
  if (operationCode == kOpInquiry) {
    DeviceResult result = Inquiry(command, dataIn);
    // A logical unit that is not there: peripheral qualifier 3, type 1Fh.
    if (otherLun && !dataIn.empty()) dataIn[0] = 0x7F;
    return result;
  }
  if (otherLun) return CheckCondition(0x05, 0x25, 0x00);  // LOGICAL UNIT NOT SUPPORTED
  if (operationCode == kOpRequestSense) return RequestSense(command, dataIn);
  return Respond(command, dataIn);
}

DeviceResult StandardDevice::Inquiry(const DeviceCommand& command, std::vector<uint8_t>& dataIn) const {
  const bool vitalProductData = command.cdb.size() > 2 && ((command.cdb[1] & 0x01) != 0 || command.cdb[2] != 0);
  if (vitalProductData) return CheckCondition(0x05, 0x24, 0x00);  // INVALID FIELD IN CDB
  dataIn = InquiryData();
  dataIn.resize(std::min<size_t>(dataIn.size(), AllocationLength(command.cdb)));
  return Good();
}

DeviceResult StandardDevice::RequestSense(const DeviceCommand& command, std::vector<uint8_t>& dataIn) {
  // Hands out (and so clears) a pending unit attention; otherwise NO SENSE.
  dataIn = m_pendingAttention.empty() ? FixedSense(0x00, 0x00, 0x00) : m_pendingAttention;
  m_pendingAttention.clear();
  dataIn.resize(std::min<size_t>(dataIn.size(), AllocationLength(command.cdb)));
  return Good();
}

void StandardDevice::Remember(const DeviceCommand& command, const std::vector<uint8_t>& dataIn,
                              const DeviceResult& result) {
  RecordedCommand entry;
  entry.cdb = command.cdb;
  entry.dataLength = command.dataLength;
  entry.direction = command.direction;
  entry.status = result.status;
  entry.sense = result.sense;
  if (command.direction == DataDirection::Out && command.data != nullptr)
    entry.data.assign(command.data, command.data + command.dataLength);
  else
    entry.data = dataIn;
  m_record.push_back(std::move(entry));
}

}  // namespace morv::sim
