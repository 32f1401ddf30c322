// The vendor-unique DF command families with sub-functions: D6, DD and E0. Each
// family has one template and one general builder; the sub-function methods pass
// their fixed sub-function and arguments to it.

#include "scsi/cdb_fields.h"
#include "scsi/library/command_library.h"

namespace morv {

using namespace cdb;

namespace {

uint8_t s_vendorD6[12] = {0xDF, 0x00, 0xD6};
uint8_t s_vendorDd[12] = {0xDF, 0x00, 0xDD};
uint8_t s_vendorE0[12] = {0xDF, 0x00, 0xE0};
uint8_t s_vendorE0Sub01[12] = {0xDF, 0x00, 0xE0, 0x00, 0x01};

/// The E0 fields shared by the general builder and sub-function 01: bytes 5-7 and
/// 8-10, the two flags of byte 11, and byte 3 = select in bits 3-4, option in 0-2.
void PutE0Fields(uint8_t* cdb, uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5, uint32_t option,
                 uint32_t select) {
  PutBigEndian(&cdb[5], 3, first);
  PutBigEndian(&cdb[8], 3, second);
  cdb[11] = static_cast<uint8_t>(Flag(flag7) << 7 | Flag(flag5) << 5);
  cdb[3] = static_cast<uint8_t>((select & 0x03) << 3 | (option & 0x07));
}

}  // namespace

uint8_t CScsiCommandLibrary::VendorD6Family(uint32_t subFunction, uint32_t value5, uint32_t value6,
                                            uint32_t option) {
  s_vendorD6[4] = Byte(subFunction);
  s_vendorD6[5] = Byte(value5);
  s_vendorD6[6] = Byte(value6);
  PutBits(s_vendorD6[3], 0, 2, option);
  return m_drive.Execute12(s_vendorD6, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorD6Sub03() { return VendorD6Family(0x03, 0, 0, 0); }
uint8_t CScsiCommandLibrary::VendorD6Sub05() { return VendorD6Family(0x05, 0, 0, 0); }
uint8_t CScsiCommandLibrary::VendorD6Sub06() { return VendorD6Family(0x06, 0, 0, 0); }
uint8_t CScsiCommandLibrary::VendorD6Sub10() { return VendorD6Family(0x10, 0, 0, 0); }
uint8_t CScsiCommandLibrary::VendorD6Sub20() { return VendorD6Family(0x20, 0, 0, 0); }
uint8_t CScsiCommandLibrary::VendorD6Sub21() { return VendorD6Family(0x21, 0, 0, 0); }
uint8_t CScsiCommandLibrary::VendorD6Sub22() { return VendorD6Family(0x22, 0, 0, 0); }
uint8_t CScsiCommandLibrary::VendorD6Sub34() { return VendorD6Family(0x34, 0, 0, 0); }

uint8_t CScsiCommandLibrary::VendorD6Sub09(uint32_t value) { return VendorD6Family(0x09, value, 0, 0); }
uint8_t CScsiCommandLibrary::VendorD6Sub23(uint32_t flag) { return VendorD6Family(0x23, Flag(flag), 0, 0); }

uint8_t CScsiCommandLibrary::VendorD6Sub25(uint32_t value5, uint32_t value6, uint32_t option) {
  return VendorD6Family(0x25, value5, value6, option);
}

// 27 and 28 take a 16-bit value least significant byte first.
uint8_t CScsiCommandLibrary::VendorD6Sub27(uint32_t value, uint32_t option) {
  return VendorD6Family(0x27, Byte(value), Byte(value >> 8), option);
}
uint8_t CScsiCommandLibrary::VendorD6Sub28(uint32_t value, uint32_t option) {
  return VendorD6Family(0x28, Byte(value), Byte(value >> 8), option);
}

uint8_t CScsiCommandLibrary::VendorD6Sub30(uint32_t flag, uint32_t option) {
  return VendorD6Family(0x30, Flag(flag), 0, option);
}
uint8_t CScsiCommandLibrary::VendorD6Sub33(uint32_t flag) { return VendorD6Family(0x33, Flag(flag), 0, 0); }

uint8_t CScsiCommandLibrary::VendorDdFamily(uint32_t subFunction, uint32_t value, uint32_t option) {
  s_vendorDd[4] = Byte(subFunction);
  PutBigEndian(&s_vendorDd[5], 3, value);
  PutBits(s_vendorDd[3], 0, 3, option);
  return m_drive.Execute12(s_vendorDd, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorDdSub01(uint32_t value, uint32_t option) {
  return VendorDdFamily(0x01, value, option);
}
uint8_t CScsiCommandLibrary::VendorDdSub02(uint32_t value, uint32_t option) {
  return VendorDdFamily(0x02, value, option);
}
uint8_t CScsiCommandLibrary::VendorDdSub03(uint32_t value, uint32_t option) {
  return VendorDdFamily(0x03, value, option);
}
uint8_t CScsiCommandLibrary::VendorDdSub04(uint32_t value, uint32_t option) {
  return VendorDdFamily(0x04, value, option);
}
uint8_t CScsiCommandLibrary::VendorDdSub10(uint32_t value, uint32_t option) {
  return VendorDdFamily(0x10, value, option);
}

uint8_t CScsiCommandLibrary::VendorE0Family(uint32_t subFunction, uint32_t first, uint32_t second, uint32_t flag7,
                                            uint32_t flag5, uint32_t option, uint32_t select) {
  s_vendorE0[4] = Byte(subFunction);
  PutE0Fields(s_vendorE0, first, second, flag7, flag5, option, select);
  return m_drive.Execute12(s_vendorE0, kCommandTimeout);
}

uint8_t CScsiCommandLibrary::VendorE0Sub00(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5,
                                           uint32_t option, uint32_t select) {
  return VendorE0Family(0x00, first, second, flag7, flag5, option, select);
}
uint8_t CScsiCommandLibrary::VendorE0Sub09(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5,
                                           uint32_t option, uint32_t select) {
  return VendorE0Family(0x09, first, second, flag7, flag5, option, select);
}

uint8_t CScsiCommandLibrary::VendorE0Sub04(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5,
                                           uint32_t select) {
  return VendorE0Family(0x04, first, second, flag7, flag5, 0, select);
}
uint8_t CScsiCommandLibrary::VendorE0Sub0A(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5,
                                           uint32_t select) {
  return VendorE0Family(0x0A, first, second, flag7, flag5, 0, select);
}
uint8_t CScsiCommandLibrary::VendorE0Sub0C(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5,
                                           uint32_t select) {
  return VendorE0Family(0x0C, first, second, flag7, flag5, 0, select);
}
uint8_t CScsiCommandLibrary::VendorE0Sub0D(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5,
                                           uint32_t select) {
  return VendorE0Family(0x0D, first, second, flag7, flag5, 0, select);
}
uint8_t CScsiCommandLibrary::VendorE0Sub10(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5,
                                           uint32_t select) {
  return VendorE0Family(0x10, first, second, flag7, flag5, 0, select);
}

uint8_t CScsiCommandLibrary::VendorE0Sub01(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5,
                                           uint32_t option, uint32_t flag1, uint32_t select) {
  PutE0Fields(s_vendorE0Sub01, first, second, flag7, flag5, option, select);
  PutBits(s_vendorE0Sub01[1], 0, 1, flag1);
  return m_drive.Execute12(s_vendorE0Sub01, kCommandTimeout);
}

}  // namespace morv
