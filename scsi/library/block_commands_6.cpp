// The 6-byte commands of the command library.

#include "scsi/cdb_fields.h"
#include "scsi/library/command_library.h"

namespace morv {

using namespace cdb;

namespace {

// One template per command; bytes a call does not write keep their values.
uint8_t s_rezeroUnit[6] = {0x01};
uint8_t s_requestSense[6] = {0x03};
uint8_t s_formatUnit[6] = {0x04};
uint8_t s_reassignBlocks[6] = {0x07};
uint8_t s_read6[6] = {0x08};
uint8_t s_write6[6] = {0x0A};
uint8_t s_seek6[6] = {0x0B};
uint8_t s_modeSelect6[6] = {0x15, 0x10};
uint8_t s_reserve6[6] = {0x16};
uint8_t s_release6[6] = {0x17};
uint8_t s_modeSense6[6] = {0x1A};
uint8_t s_startStopUnit[6] = {0x1B};
uint8_t s_receiveDiagnosticResults[6] = {0x1C};
uint8_t s_sendDiagnostic[6] = {0x1D};
uint8_t s_preventAllowMediumRemoval[6] = {0x1E};

/// A 21-bit block address: bits 16-20 into byte 1 bits 0-4, the rest into bytes 2-3;
/// higher bits are dropped.
void PutBlockAddress21(uint8_t* cdb, uint32_t blockAddress) {
  PutBits(cdb[1], 0, 5, blockAddress >> 16);
  PutBigEndian(&cdb[2], 2, blockAddress);
}

void PutReservation(uint8_t* cdb, uint32_t thirdParty, uint32_t thirdPartyDeviceId) {
  PutBits(cdb[1], 4, 1, thirdParty);
  PutBits(cdb[1], 1, 3, thirdPartyDeviceId);
}

}  // namespace

uint8_t CScsiCommandLibrary::RezeroUnit() { return m_drive.Execute6(s_rezeroUnit, kCommandTimeout); }

uint8_t CScsiCommandLibrary::RequestSense(uint32_t allocationLength) {
  s_requestSense[4] = Byte(allocationLength);
  return m_drive.Execute6(s_requestSense, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::FormatUnit(uint32_t fmtData, uint32_t cmpLst) {
  PutBits(s_formatUnit[1], 4, 1, fmtData);
  PutBits(s_formatUnit[1], 3, 1, cmpLst);
  // Without FmtData there is no data phase: never hand on a buffer set for an
  // earlier command, whose owner may have gone.
  if (!Flag(fmtData)) m_drive.SetBuffer(nullptr, 0);
  return m_drive.Execute6(s_formatUnit, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ReassignBlocks() { return m_drive.Execute6(s_reassignBlocks, kCommandTimeout); }

uint8_t CScsiCommandLibrary::Read6(uint32_t blockAddress, uint32_t transferLength) {
  PutBlockAddress21(s_read6, blockAddress);
  s_read6[4] = Byte(transferLength);
  return m_drive.Execute6(s_read6, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::Write6(uint32_t blockAddress, uint32_t transferLength) {
  PutBlockAddress21(s_write6, blockAddress);
  s_write6[4] = Byte(transferLength);
  return m_drive.Execute6(s_write6, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::Seek6(uint32_t blockAddress) {
  PutBlockAddress21(s_seek6, blockAddress);
  return m_drive.Execute6(s_seek6, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ModeSelect6(uint32_t parameterListLength) {
  s_modeSelect6[4] = Byte(parameterListLength);
  return m_drive.Execute6(s_modeSelect6, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::Reserve6(uint32_t thirdParty, uint32_t thirdPartyDeviceId) {
  PutReservation(s_reserve6, thirdParty, thirdPartyDeviceId);
  return m_drive.Execute6(s_reserve6, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::Release6(uint32_t thirdParty, uint32_t thirdPartyDeviceId) {
  PutReservation(s_release6, thirdParty, thirdPartyDeviceId);
  return m_drive.Execute6(s_release6, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ModeSense6(uint32_t dbd, uint32_t pageControl, uint32_t pageCode,
                                        uint32_t allocationLength) {
  PutBits(s_modeSense6[1], 3, 1, dbd);
  PutPageSelection(s_modeSense6[2], pageControl, pageCode);
  s_modeSense6[4] = Byte(allocationLength);
  return m_drive.Execute6(s_modeSense6, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::StartStopUnit(uint32_t start, uint32_t immediate, uint32_t loadEject) {
  PutBits(s_startStopUnit[4], 0, 1, start);
  PutBits(s_startStopUnit[1], 0, 1, immediate);
  PutBits(s_startStopUnit[4], 1, 1, loadEject);
  return m_drive.Execute6(s_startStopUnit, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ReceiveDiagnosticResults(uint32_t allocationLength) {
  PutBigEndian(&s_receiveDiagnosticResults[3], 2, allocationLength);
  return m_drive.Execute6(s_receiveDiagnosticResults, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::SendDiagnostic(uint32_t byte1Bits, uint32_t parameterListLength) {
  s_sendDiagnostic[1] = Byte(byte1Bits << 2);
  PutBigEndian(&s_sendDiagnostic[3], 2, parameterListLength);
  return m_drive.Execute6(s_sendDiagnostic, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::PreventAllowMediumRemoval(uint32_t prevent) {
  PutBits(s_preventAllowMediumRemoval[4], 0, 1, prevent);
  return m_drive.Execute6(s_preventAllowMediumRemoval, kCommandTimeout);
}

}  // namespace morv
