// The vendor-unique DF commands without sub-functions: one template per command,
// the function family in byte 2.

#include "scsi/cdb_fields.h"
#include "scsi/library/command_library.h"

namespace morv {

using namespace cdb;

namespace {

uint8_t s_vendorDf[12] = {0xDF, 0x00, 0xDF};
uint8_t s_vendorDf01[12] = {0xDF, 0x00, 0xDF, 0x01};
uint8_t s_vendorDf01Select[12] = {0xDF, 0x00, 0xDF};
uint8_t s_vendorDf02Select[12] = {0xDF, 0x00, 0xDF};
uint8_t s_vendorD9D7[12] = {0xDF, 0x00, 0xD9};
uint8_t s_vendorE2[12] = {0xDF, 0x00, 0xE2};
uint8_t s_vendorE3[12] = {0xDF, 0x00, 0xE3};
uint8_t s_vendorEb[12] = {0xDF, 0x00, 0xEB};
uint8_t s_vendorEc[12] = {0xDF, 0x00, 0xEC};
uint8_t s_vendorDe[12] = {0xDF, 0x00, 0xDE};
uint8_t s_vendorDeWide[12] = {0xDF, 0x00, 0xDE};
uint8_t s_vendorEf[12] = {0xDF, 0x00, 0xEF};

/// Byte 3 of the DF family's selecting forms: `select` (2 bits) in bits 3-4 OR `low`.
uint8_t SelectByte(uint32_t select, uint8_t low) { return static_cast<uint8_t>((select & 0x03) << 3 | low); }

/// Byte 3 of families E2 and E3: flags in bits 0 and 1, `high` from bit 3 up.
uint8_t FlagsAndHigh(uint32_t flag0, uint32_t flag1, uint32_t high) {
  return static_cast<uint8_t>(Flag(flag0) | Flag(flag1) << 1 | Byte(high << 3));
}

}  // namespace

uint8_t CScsiCommandLibrary::VendorDf(uint32_t value) {
  PutBigEndian(&s_vendorDf[5], 3, value);
  return m_drive.Execute12(s_vendorDf, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorDf01(uint32_t value) {
  PutBigEndian(&s_vendorDf01[5], 3, value);
  return m_drive.Execute12(s_vendorDf01, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorDf01Select(uint32_t value, uint32_t select) {
  PutBigEndian(&s_vendorDf01Select[5], 3, value);
  s_vendorDf01Select[3] = SelectByte(select, 0x01);
  return m_drive.Execute12(s_vendorDf01Select, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorDf02Select(uint32_t value, uint32_t select) {
  PutBigEndian(&s_vendorDf02Select[5], 3, value);
  s_vendorDf02Select[3] = SelectByte(select, 0x02);
  return m_drive.Execute12(s_vendorDf02Select, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorD9D7(uint32_t byte4, uint32_t byte6, uint32_t byte7, uint32_t byte8) {
  // The family follows the byte sent in byte 4: D9 below 40h, D7 from 40h on.
  s_vendorD9D7[2] = Byte(byte4) < 0x40 ? 0xD9 : 0xD7;
  s_vendorD9D7[4] = Byte(byte4);
  s_vendorD9D7[6] = Byte(byte6);
  s_vendorD9D7[7] = Byte(byte7);
  s_vendorD9D7[8] = Byte(byte8);
  return m_drive.Execute12(s_vendorD9D7, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorE2(uint32_t flag0, uint32_t flag1, uint32_t first, uint32_t second,
                                      uint32_t high) {
  s_vendorE2[3] = FlagsAndHigh(flag0, flag1, high);
  PutBigEndian(&s_vendorE2[5], 3, first);
  PutBigEndian(&s_vendorE2[8], 3, second);
  return m_drive.Execute12(s_vendorE2, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorE3(uint32_t flag0, uint32_t flag1, uint32_t first, uint32_t second,
                                      uint32_t high, uint32_t byte10, uint32_t byte11) {
  s_vendorE3[3] = FlagsAndHigh(flag0, flag1, high);
  PutBigEndian(&s_vendorE3[4], 3, first);
  PutBigEndian(&s_vendorE3[7], 3, second);
  s_vendorE3[10] = Byte(byte10);
  s_vendorE3[11] = Byte(byte11);
  return m_drive.Execute12(s_vendorE3, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorEb(uint32_t value) {
  PutBigEndian(&s_vendorEb[5], 3, value);
  return m_drive.Execute12(s_vendorEb, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorEc(uint32_t value, uint32_t value16) {
  PutBigEndian(&s_vendorEc[5], 3, value);
  PutBigEndian(&s_vendorEc[9], 2, value16);
  return m_drive.Execute12(s_vendorEc, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorDe(uint32_t flag, uint32_t value16) {
  PutBits(s_vendorDe[3], 0, 1, flag);
  PutBigEndian(&s_vendorDe[4], 2, value16);
  return m_drive.Execute12(s_vendorDe, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorDeWide(uint32_t flag, uint32_t value32, uint32_t option) {
  PutBits(s_vendorDeWide[3], 0, 1, flag);
  PutBits(s_vendorDeWide[3], 1, 2, option);
  PutBigEndian(&s_vendorDeWide[4], 4, value32);
  return m_drive.Execute12(s_vendorDeWide, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorEf() { return m_drive.Execute12(s_vendorEf, kCommandTimeout); }

}  // namespace morv
