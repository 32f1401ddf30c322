// The 12-byte multimedia commands of the command library.

#include "scsi/cdb_fields.h"
#include "scsi/library/command_library.h"

namespace morv {

using namespace cdb;

namespace {

// One template per command; bytes a call does not write keep their values.
uint8_t s_loadMedium[12] = {0xA6, 0x00, 0x00, 0x00, 0x03};
uint8_t s_unloadMedium[12] = {0xA6, 0x00, 0x00, 0x00, 0x02};
uint8_t s_read12[12] = {0xA8};
uint8_t s_write12[12] = {0xAA};
uint8_t s_readCd[12] = {0xBE};
uint8_t s_getPerformance[12] = {0xAC};
uint8_t s_sendEvent[12] = {0xA2};
uint8_t s_sendKey[12] = {0xA3};
uint8_t s_reportKey[12] = {0xA4};
uint8_t s_readDvdStructure[12] = {0xAD};
uint8_t s_setStreaming[12] = {0xB6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x1C};
uint8_t s_mechanismStatus[12] = {0xBD};

/// READ(12)/WRITE(12): block address in bytes 2-5, 32-bit length in bytes 6-9,
/// FUA in byte 1 bit 3, RelAdr in bit 0.
void PutReadWrite12(uint8_t* cdb, uint32_t blockAddress, uint32_t transferLength, uint32_t fua,
                    uint32_t relAdr) {
  PutBigEndian(&cdb[2], 4, blockAddress);
  PutBigEndian(&cdb[6], 4, transferLength);
  PutBits(cdb[1], 3, 1, fua);
  PutBits(cdb[1], 0, 1, relAdr);
}

/// SEND KEY/REPORT KEY byte 10: the AGID in bits 6-7, the key format in bits 0-5. Each
/// is cut to its own width so an out-of-range key format cannot change the AGID.
uint8_t KeyByte(uint32_t agid, uint32_t keyFormat) {
  uint8_t byte = 0;
  PutBits(byte, 6, 2, agid);
  PutBits(byte, 0, 6, keyFormat);
  return byte;
}

}  // namespace

uint8_t CScsiCommandLibrary::ExecuteReadWrite12(uint8_t* cdb, int32_t timeout) {
  return m_drive.Execute12(cdb, timeout);
}

uint8_t CScsiCommandLibrary::LoadMedium(uint32_t slot) {
  s_loadMedium[8] = Byte(slot);
  return m_drive.Execute12(s_loadMedium, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::UnloadMedium(uint32_t slot) {
  s_unloadMedium[8] = Byte(slot);
  return m_drive.Execute12(s_unloadMedium, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::Read12(uint32_t blockAddress, uint32_t transferLength, uint32_t fua, uint32_t relAdr) {
  PutReadWrite12(s_read12, blockAddress, transferLength, fua, relAdr);
  return ExecuteReadWrite12(s_read12, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::Write12(uint32_t blockAddress, uint32_t transferLength, uint32_t fua, uint32_t relAdr) {
  PutReadWrite12(s_write12, blockAddress, transferLength, fua, relAdr);
  return ExecuteReadWrite12(s_write12, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ReadCd(uint32_t byte1, uint32_t byte9, uint32_t byte10, uint32_t blockAddress,
                                    uint32_t transferLength) {
  s_readCd[1] = Byte(byte1);
  s_readCd[9] = Byte(byte9);
  s_readCd[10] = Byte(byte10);
  PutBigEndian(&s_readCd[2], 4, blockAddress);
  PutBigEndian(&s_readCd[6], 3, transferLength);
  return m_drive.Execute12(s_readCd, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::GetPerformance(uint32_t byte1, uint32_t blockAddress, uint32_t maxDescriptors,
                                            uint32_t type) {
  s_getPerformance[1] = Byte(byte1);
  PutBigEndian(&s_getPerformance[2], 4, blockAddress);
  PutBigEndian(&s_getPerformance[8], 2, maxDescriptors);
  s_getPerformance[10] = Byte(type);
  return m_drive.Execute12(s_getPerformance, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::SendEvent(uint32_t parameterListLength, uint32_t byte1) {
  PutBigEndian(&s_sendEvent[8], 2, parameterListLength);
  s_sendEvent[1] = Byte(byte1);
  return m_drive.Execute12(s_sendEvent, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::SendKey(uint32_t keyClass, uint32_t parameterListLength, uint32_t agid,
                                     uint32_t keyFormat) {
  s_sendKey[7] = Byte(keyClass);
  PutBigEndian(&s_sendKey[8], 2, parameterListLength);
  s_sendKey[10] = KeyByte(agid, keyFormat);
  return m_drive.Execute12(s_sendKey, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ReportKey(uint32_t blockAddress, uint32_t keyClass, uint32_t allocationLength,
                                       uint32_t agid, uint32_t keyFormat) {
  PutBigEndian(&s_reportKey[2], 4, blockAddress);
  s_reportKey[7] = Byte(keyClass);
  PutBigEndian(&s_reportKey[8], 2, allocationLength);
  s_reportKey[10] = KeyByte(agid, keyFormat);
  return m_drive.Execute12(s_reportKey, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ReadDvdStructure(uint32_t address, uint32_t layer, uint32_t allocationLength,
                                              uint32_t agid, uint32_t format) {
  PutBigEndian(&s_readDvdStructure[2], 4, address);
  s_readDvdStructure[6] = Byte(layer);
  PutBigEndian(&s_readDvdStructure[8], 2, allocationLength);
  s_readDvdStructure[10] = Byte(agid << 6);
  s_readDvdStructure[7] = Byte(format);
  return m_drive.Execute12(s_readDvdStructure, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::SetStreaming() { return m_drive.Execute12(s_setStreaming, kCommandTimeout); }

uint8_t CScsiCommandLibrary::MechanismStatus(uint32_t allocationLength) {
  PutBigEndian(&s_mechanismStatus[8], 2, allocationLength);
  return m_drive.Execute12(s_mechanismStatus, kCommandTimeout);
}

}  // namespace morv
