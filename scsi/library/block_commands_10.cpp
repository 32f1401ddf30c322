// The 10-byte commands of the command library and the block-download shortcut.

#include <iterator>

#include "scsi/cdb_fields.h"
#include "scsi/library/command_library.h"

namespace morv {

using namespace cdb;

namespace {

// One template per command; bytes a call does not write keep their values.
uint8_t s_operation20[10] = {0x20};
uint8_t s_readCapacity[10] = {0x25};
uint8_t s_read10[10] = {0x28};
uint8_t s_write10[10] = {0x2A};
uint8_t s_seek10[10] = {0x2B};
uint8_t s_erase10[10] = {0x2C};
uint8_t s_writeAndVerify10[10] = {0x2E};
uint8_t s_verify10[10] = {0x2F};
uint8_t s_readDefectData10[10] = {0x37};
uint8_t s_readBuffer[10] = {0x3C};
uint8_t s_readLong[10] = {0x3E};
uint8_t s_writeLong[10] = {0x3F};
uint8_t s_readSubChannel[10] = {0x42, 0x00, 0x40};
uint8_t s_readToc[10] = {0x43};
uint8_t s_playAudio10[10] = {0x45};
uint8_t s_pauseResume[10] = {0x4B};
uint8_t s_stopPlayScan[10] = {0x4E};
uint8_t s_readFormatCapacities[10] = {0x23};
uint8_t s_synchronizeCache[10] = {0x35};
uint8_t s_readHeader[10] = {0x44};
uint8_t s_getConfiguration[10] = {0x46};
uint8_t s_getEventStatusNotification[10] = {0x4A, 0x01};
uint8_t s_modeSelect10[10] = {0x55, 0x10};
uint8_t s_modeSense10[10] = {0x5A};

constexpr uint32_t kBlockLength = 0x4000;  // one 16 KiB firmware block

/// Block address in bytes 2-5 and a 16-bit length in bytes 7-8.
void PutAddressAndLength(uint8_t* cdb, uint32_t blockAddress, uint32_t length) {
  PutBigEndian(&cdb[2], 4, blockAddress);
  PutBigEndian(&cdb[7], 2, length);
}

/// READ(10)/WRITE(10): byte 1 is FUA in bit 3 and RelAdr in bit 0, nothing else.
void PutReadWrite10(uint8_t* cdb, uint32_t blockAddress, uint32_t transferLength, uint32_t fua,
                    uint32_t relAdr) {
  cdb[1] = static_cast<uint8_t>(Flag(fua) << 3 | Flag(relAdr));
  PutAddressAndLength(cdb, blockAddress, transferLength);
}

/// WRITE AND VERIFY(10)/VERIFY(10): BytChk in byte 1 bit 1, RelAdr in bit 0.
void PutVerify10(uint8_t* cdb, uint32_t blockAddress, uint32_t length, uint32_t bytChk, uint32_t relAdr) {
  PutAddressAndLength(cdb, blockAddress, length);
  PutBits(cdb[1], 1, 1, bytChk);
  PutBits(cdb[1], 0, 1, relAdr);
}

/// Time format selector 1 asks for MSF addresses (byte 1 = 02). Selectors, like
/// byte fields, count by their low 8 bits.
uint8_t TimeFormatByte(uint32_t timeFormat) { return Byte(timeFormat) == 1 ? 0x02 : 0x00; }

}  // namespace

uint8_t CScsiCommandLibrary::Operation20(uint32_t flag) {
  PutBits(s_operation20[1], 0, 1, flag);
  return m_drive.Execute10(s_operation20, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ReadCapacity(uint32_t pmi) {
  PutBits(s_readCapacity[8], 0, 1, pmi);
  return m_drive.Execute10(s_readCapacity, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::Read10(uint32_t blockAddress, uint32_t transferLength, uint32_t fua, uint32_t relAdr) {
  PutReadWrite10(s_read10, blockAddress, transferLength, fua, relAdr);
  return m_drive.Execute10(s_read10, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::Write10(uint32_t blockAddress, uint32_t transferLength, uint32_t fua, uint32_t relAdr) {
  PutReadWrite10(s_write10, blockAddress, transferLength, fua, relAdr);
  return m_drive.Execute10(s_write10, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::Seek10(uint32_t blockAddress) {
  PutBigEndian(&s_seek10[2], 4, blockAddress);
  return m_drive.Execute10(s_seek10, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::Erase10(uint32_t blockAddress, uint32_t length, uint32_t era, uint32_t relAdr) {
  PutAddressAndLength(s_erase10, blockAddress, length);
  PutBits(s_erase10[1], 2, 1, era);
  PutBits(s_erase10[1], 0, 1, relAdr);
  return m_drive.Execute10(s_erase10, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::WriteAndVerify10(uint32_t blockAddress, uint32_t length, uint32_t bytChk,
                                              uint32_t relAdr) {
  PutVerify10(s_writeAndVerify10, blockAddress, length, bytChk, relAdr);
  return m_drive.Execute10(s_writeAndVerify10, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::Verify10(uint32_t blockAddress, uint32_t length, uint32_t bytChk, uint32_t relAdr) {
  PutVerify10(s_verify10, blockAddress, length, bytChk, relAdr);
  // Without BytChk the drive compares nothing and takes no data: never hand on a
  // buffer set for an earlier command, whose owner may have gone.
  if (!Flag(bytChk)) m_drive.SetBuffer(nullptr, 0);
  return m_drive.Execute10(s_verify10, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ReadDefectData10(uint32_t pList, uint32_t gList, uint32_t listFormat,
                                              uint32_t allocationLength) {
  PutBits(s_readDefectData10[2], 4, 1, pList);
  PutBits(s_readDefectData10[2], 3, 1, gList);
  PutBits(s_readDefectData10[2], 0, 3, listFormat);
  PutBigEndian(&s_readDefectData10[7], 2, allocationLength);
  return m_drive.Execute10(s_readDefectData10, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ReadBuffer(uint32_t mode, uint32_t bufferId, uint32_t offset, uint32_t length) {
  PutBits(s_readBuffer[1], 0, 5, mode & 0x07);  // mode in bits 0-2, bits 3-4 cleared
  s_readBuffer[2] = Byte(bufferId);
  PutBigEndian(&s_readBuffer[3], 3, offset);
  PutBigEndian(&s_readBuffer[6], 3, length);
  return m_drive.Execute10(s_readBuffer, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ReadLong(uint32_t corrct, uint32_t blockAddress, uint32_t byteLength) {
  s_readLong[1] = static_cast<uint8_t>(Flag(corrct) << 1);
  PutAddressAndLength(s_readLong, blockAddress, byteLength);
  return m_drive.Execute10(s_readLong, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::WriteLong(uint32_t blockAddress, uint32_t byteLength) {
  PutAddressAndLength(s_writeLong, blockAddress, byteLength);
  return m_drive.Execute10(s_writeLong, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ReadSubChannel(uint32_t dataSelector, uint32_t trackNumber) {
  // Selector 0 is the current position (16 bytes); 1 and 2 the catalogue number
  // and the track's ISRC, of which the first 23 bytes are asked for.
  const uint8_t selector = Byte(dataSelector);
  s_readSubChannel[3] = Byte(selector + 1u);
  s_readSubChannel[6] = Byte(trackNumber);
  s_readSubChannel[8] = (selector == 1 || selector == 2) ? 0x17 : 0x10;
  return m_drive.Execute10(s_readSubChannel, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ReadToc(uint32_t timeFormat, uint32_t formatSelector, uint32_t allocationLength,
                                     uint32_t trackOrSession) {
  static constexpr uint8_t kTocFormats[] = {0x00, 0x01, 0x02, 0x05};  // by selector 0-3
  s_readToc[1] = TimeFormatByte(timeFormat);
  const uint8_t format = Byte(formatSelector);
  s_readToc[2] = format < std::size(kTocFormats) ? kTocFormats[format] : 0x00;
  PutBigEndian(&s_readToc[7], 2, allocationLength);
  s_readToc[6] = Byte(trackOrSession);
  return m_drive.Execute10(s_readToc, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::PlayAudio10(uint32_t blockAddress, uint32_t playLength) {
  PutAddressAndLength(s_playAudio10, blockAddress, playLength);
  return m_drive.Execute10(s_playAudio10, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::PauseResume(uint32_t resume) {
  s_pauseResume[8] = Byte(resume);
  return m_drive.Execute10(s_pauseResume, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::StopPlayScan() { return m_drive.Execute10(s_stopPlayScan, kCommandTimeout); }

uint8_t CScsiCommandLibrary::ReadFormatCapacities(uint32_t allocationLength) {
  PutBigEndian(&s_readFormatCapacities[7], 2, allocationLength);
  return m_drive.Execute10(s_readFormatCapacities, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::SynchronizeCache() { return m_drive.Execute10(s_synchronizeCache, kCommandTimeout); }

uint8_t CScsiCommandLibrary::ReadHeader(uint32_t blockAddress, uint32_t allocationLength, uint32_t timeFormat) {
  PutAddressAndLength(s_readHeader, blockAddress, allocationLength);
  s_readHeader[1] = TimeFormatByte(timeFormat);
  return m_drive.Execute10(s_readHeader, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::GetConfiguration(uint32_t allocationLength, uint32_t startingFeature,
                                              uint32_t requestType) {
  PutBigEndian(&s_getConfiguration[7], 2, allocationLength);
  PutBigEndian(&s_getConfiguration[2], 2, startingFeature);
  PutBits(s_getConfiguration[1], 0, 2, requestType);
  return m_drive.Execute10(s_getConfiguration, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::GetEventStatusNotification(uint32_t classRequest, uint32_t allocationLength) {
  s_getEventStatusNotification[4] = Byte(classRequest);
  PutBigEndian(&s_getEventStatusNotification[7], 2, allocationLength);
  return m_drive.Execute10(s_getEventStatusNotification, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ModeSelect10(uint32_t parameterListLength) {
  PutBigEndian(&s_modeSelect10[7], 2, parameterListLength);
  return m_drive.Execute10(s_modeSelect10, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::ModeSense10(uint32_t dbd, uint32_t pageControl, uint32_t pageCode,
                                         uint32_t allocationLength) {
  PutBits(s_modeSense10[1], 3, 1, dbd);
  PutPageSelection(s_modeSense10[2], pageControl, pageCode);
  PutBigEndian(&s_modeSense10[7], 2, allocationLength);
  return m_drive.Execute10(s_modeSense10, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::WriteBufferBlock(uint32_t bufferId, uint32_t mode) {
  return m_drive.WriteBuffer(Byte(mode), Byte(bufferId), 0, kBlockLength);
}

}  // namespace morv
