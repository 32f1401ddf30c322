#pragma once
// MorvantideNT's general command library: block, multimedia and vendor-unique
// commands, each a builder over its own CDB template with static storage duration.
// No path of the update or of device selection uses them, and Morvantide4 does not
// link them, so the library lives beside the drive object rather than inside it.
//
// Every method writes its arguments into the bytes it documents and nothing else,
// executes the template with Execute6/10/12 and time-out 7200 (so it gets the LUN
// merge and the repeat on UNIT ATTENTION), and returns the completion code. Bytes a
// call does not write keep the values of the last call. Arguments: a flag is its
// lowest bit, a byte field its low 8 bits, a wider field its low 16, 24 or 32 bits,
// most significant byte first unless a method says otherwise. Commands that move
// data expect the caller to have set the buffer and its length with SetBuffer.

#include <cstdint>

#include "scsi/scsi_drive.h"

namespace morv {

class CScsiCommandLibrary {
 public:
  explicit CScsiCommandLibrary(CScsiDrive& drive) : m_drive(drive) {}

  // 6-byte commands (block_commands_6.cpp).

  /// REZERO UNIT: 01.
  uint8_t RezeroUnit();
  /// REQUEST SENSE: 03; byte 4 allocation length.
  uint8_t RequestSense(uint32_t allocationLength);
  /// FORMAT UNIT: 04; byte 1 bit 4 FmtData, bit 3 CmpLst. Without FmtData no
  /// parameter list goes out, so the command is sent without a buffer.
  uint8_t FormatUnit(uint32_t fmtData, uint32_t cmpLst);
  /// REASSIGN BLOCKS: 07.
  uint8_t ReassignBlocks();
  /// READ(6): 08; 21-bit block address in byte 1 bits 0-4 and bytes 2-3; byte 4 length.
  uint8_t Read6(uint32_t blockAddress, uint32_t transferLength);
  /// WRITE(6): 0A; laid out as READ(6).
  uint8_t Write6(uint32_t blockAddress, uint32_t transferLength);
  /// SEEK(6): 0B; 21-bit block address in byte 1 bits 0-4 and bytes 2-3.
  uint8_t Seek6(uint32_t blockAddress);
  /// MODE SELECT(6): 15 10 (PF); byte 4 parameter list length.
  uint8_t ModeSelect6(uint32_t parameterListLength);
  /// RESERVE(6): 16; byte 1 bit 4 3rdPty, bits 1-3 third-party device ID.
  uint8_t Reserve6(uint32_t thirdParty, uint32_t thirdPartyDeviceId);
  /// RELEASE(6): 17; laid out as RESERVE(6).
  uint8_t Release6(uint32_t thirdParty, uint32_t thirdPartyDeviceId);
  /// MODE SENSE(6): 1A; byte 1 bit 3 DBD; byte 2 page control (bits 6-7) and page
  /// code (bits 0-5); byte 4 allocation length.
  uint8_t ModeSense6(uint32_t dbd, uint32_t pageControl, uint32_t pageCode, uint32_t allocationLength);
  /// START STOP UNIT: 1B; byte 4 bit 0 start, bit 1 load/eject; byte 1 bit 0 immediate.
  uint8_t StartStopUnit(uint32_t start, uint32_t immediate, uint32_t loadEject);
  /// RECEIVE DIAGNOSTIC RESULTS: 1C; bytes 3-4 allocation length.
  uint8_t ReceiveDiagnosticResults(uint32_t allocationLength);
  /// SEND DIAGNOSTIC: 1D; byte 1 = `byte1Bits` shifted left by 2; bytes 3-4
  /// parameter list length.
  uint8_t SendDiagnostic(uint32_t byte1Bits, uint32_t parameterListLength);
  /// PREVENT ALLOW MEDIUM REMOVAL: 1E; byte 4 bit 0 prevent.
  uint8_t PreventAllowMediumRemoval(uint32_t prevent);

  // 10-byte commands (block_commands_10.cpp).

  /// Operation code 20: byte 1 bit 0 the flag.
  uint8_t Operation20(uint32_t flag);
  /// READ CAPACITY: 25; byte 8 bit 0 PMI.
  uint8_t ReadCapacity(uint32_t pmi);
  /// READ(10): 28; byte 1 = FUA in bit 3, RelAdr in bit 0; bytes 2-5 block address;
  /// bytes 7-8 transfer length.
  uint8_t Read10(uint32_t blockAddress, uint32_t transferLength, uint32_t fua, uint32_t relAdr);
  /// WRITE(10): 2A; laid out as READ(10).
  uint8_t Write10(uint32_t blockAddress, uint32_t transferLength, uint32_t fua, uint32_t relAdr);
  /// SEEK(10): 2B; bytes 2-5 block address.
  uint8_t Seek10(uint32_t blockAddress);
  /// ERASE(10): 2C; bytes 2-5 block address, 7-8 length; byte 1 bit 2 ERA, bit 0 RelAdr.
  uint8_t Erase10(uint32_t blockAddress, uint32_t length, uint32_t era, uint32_t relAdr);
  /// WRITE AND VERIFY(10): 2E; bytes 2-5 block address, 7-8 length; byte 1 bit 1
  /// BytChk, bit 0 RelAdr.
  uint8_t WriteAndVerify10(uint32_t blockAddress, uint32_t length, uint32_t bytChk, uint32_t relAdr);
  /// VERIFY(10): 2F; laid out as WRITE AND VERIFY(10). Without BytChk nothing is
  /// compared, so the command is sent without a buffer.
  uint8_t Verify10(uint32_t blockAddress, uint32_t length, uint32_t bytChk, uint32_t relAdr);
  /// READ DEFECT DATA(10): 37; byte 2 bit 4 PList, bit 3 GList, bits 0-2 list format;
  /// bytes 7-8 allocation length.
  uint8_t ReadDefectData10(uint32_t pList, uint32_t gList, uint32_t listFormat, uint32_t allocationLength);
  /// READ BUFFER: 3C; byte 1 bits 0-2 mode (bits 3-4 cleared); byte 2 buffer ID;
  /// bytes 3-5 offset; bytes 6-8 length.
  uint8_t ReadBuffer(uint32_t mode, uint32_t bufferId, uint32_t offset, uint32_t length);
  /// READ LONG: 3E; byte 1 = CORRCT in bit 1; bytes 2-5 block address; bytes 7-8
  /// byte transfer length.
  uint8_t ReadLong(uint32_t corrct, uint32_t blockAddress, uint32_t byteLength);
  /// WRITE LONG: 3F; bytes 2-5 block address; bytes 7-8 byte transfer length.
  uint8_t WriteLong(uint32_t blockAddress, uint32_t byteLength);
  /// READ SUB-CHANNEL: 42 .. 40 (SubQ); byte 3 = selector + 1 (sub-channel data
  /// format); byte 6 track; byte 8 allocation length 17h for selectors 1 and 2,
  /// otherwise 10h.
  uint8_t ReadSubChannel(uint32_t dataSelector, uint32_t trackNumber);
  /// READ TOC: 43; byte 1 = 02 (MSF) for time format 1, else 00; byte 2 = 01, 02,
  /// 05 for format selector 1, 2, 3, else 00; bytes 7-8 allocation length; byte 6
  /// track or session number.
  uint8_t ReadToc(uint32_t timeFormat, uint32_t formatSelector, uint32_t allocationLength, uint32_t trackOrSession);
  /// PLAY AUDIO(10): 45; bytes 2-5 starting block address; bytes 7-8 play length.
  uint8_t PlayAudio10(uint32_t blockAddress, uint32_t playLength);
  /// PAUSE/RESUME: 4B; byte 8 the whole argument (resume in bit 0).
  uint8_t PauseResume(uint32_t resume);
  /// STOP PLAY/SCAN: 4E.
  uint8_t StopPlayScan();
  /// READ FORMAT CAPACITIES: 23; bytes 7-8 allocation length.
  uint8_t ReadFormatCapacities(uint32_t allocationLength);
  /// SYNCHRONIZE CACHE: 35.
  uint8_t SynchronizeCache();
  /// READ HEADER: 44; bytes 2-5 block address; bytes 7-8 allocation length; byte 1 =
  /// 02 (MSF) for time format 1, else 00.
  uint8_t ReadHeader(uint32_t blockAddress, uint32_t allocationLength, uint32_t timeFormat);
  /// GET CONFIGURATION: 46; bytes 7-8 allocation length; bytes 2-3 starting feature;
  /// byte 1 bits 0-1 request type.
  uint8_t GetConfiguration(uint32_t allocationLength, uint32_t startingFeature, uint32_t requestType);
  /// GET EVENT STATUS NOTIFICATION: 4A 01 (polled); byte 4 notification class
  /// request; bytes 7-8 allocation length.
  uint8_t GetEventStatusNotification(uint32_t classRequest, uint32_t allocationLength);
  /// MODE SELECT(10): 55 10 (PF); bytes 7-8 parameter list length.
  uint8_t ModeSelect10(uint32_t parameterListLength);
  /// MODE SENSE(10): 5A; byte 1 bit 3 DBD; byte 2 page control (bits 6-7) and page
  /// code (bits 0-5); bytes 7-8 allocation length.
  uint8_t ModeSense10(uint32_t dbd, uint32_t pageControl, uint32_t pageCode, uint32_t allocationLength);
  /// One 16 KiB block with WRITE BUFFER: the given mode and buffer ID, offset 0,
  /// length 4000h. The caller has set the block with SetBuffer.
  uint8_t WriteBufferBlock(uint32_t bufferId, uint32_t mode);

  // 12-byte multimedia commands (multimedia_commands_12.cpp).

  /// LOAD/UNLOAD MEDIUM, load: A6 .. .. .. 03; byte 8 slot.
  uint8_t LoadMedium(uint32_t slot);
  /// LOAD/UNLOAD MEDIUM, unload: A6 .. .. .. 02; byte 8 slot.
  uint8_t UnloadMedium(uint32_t slot);
  /// READ(12): A8; bytes 2-5 block address; bytes 6-9 transfer length; byte 1 bit 3
  /// FUA, bit 0 RelAdr.
  uint8_t Read12(uint32_t blockAddress, uint32_t transferLength, uint32_t fua, uint32_t relAdr);
  /// WRITE(12): AA; laid out as READ(12).
  uint8_t Write12(uint32_t blockAddress, uint32_t transferLength, uint32_t fua, uint32_t relAdr);
  /// READ CD: BE; byte 1, byte 9 and byte 10 as given; bytes 2-5 starting block
  /// address; bytes 6-8 transfer length.
  uint8_t ReadCd(uint32_t byte1, uint32_t byte9, uint32_t byte10, uint32_t blockAddress, uint32_t transferLength);
  /// GET PERFORMANCE: AC; byte 1 as given; bytes 2-5 starting block address; bytes
  /// 8-9 maximum number of descriptors; byte 10 type.
  uint8_t GetPerformance(uint32_t byte1, uint32_t blockAddress, uint32_t maxDescriptors, uint32_t type);
  /// SEND EVENT: A2; bytes 8-9 parameter list length; byte 1 as given.
  uint8_t SendEvent(uint32_t parameterListLength, uint32_t byte1);
  /// SEND KEY: A3; byte 7 key class; bytes 8-9 parameter list length; byte 10 = AGID
  /// (2 bits) in bits 6-7, key format (6 bits) in bits 0-5.
  uint8_t SendKey(uint32_t keyClass, uint32_t parameterListLength, uint32_t agid, uint32_t keyFormat);
  /// REPORT KEY: A4; bytes 2-5 block address; byte 7 key class; bytes 8-9
  /// allocation length; byte 10 = AGID in bits 6-7, key format in bits 0-5.
  uint8_t ReportKey(uint32_t blockAddress, uint32_t keyClass, uint32_t allocationLength, uint32_t agid,
                    uint32_t keyFormat);
  /// READ DVD STRUCTURE: AD; bytes 2-5 address; byte 6 layer; bytes 8-9 allocation
  /// length; byte 10 = AGID shifted left by 6; byte 7 format.
  uint8_t ReadDvdStructure(uint32_t address, uint32_t layer, uint32_t allocationLength, uint32_t agid,
                           uint32_t format);
  /// SET STREAMING: B6, byte 10 = 1C (one 28-byte performance descriptor).
  uint8_t SetStreaming();
  /// MECHANISM STATUS: BD; bytes 8-9 allocation length.
  uint8_t MechanismStatus(uint32_t allocationLength);

  // Vendor-unique commands, operation code DF, function family in byte 2
  // (vendor_families.cpp: the D6, DD and E0 families).

  /// Family D6: byte 4 sub-function; byte 5 `value5`; byte 6 `value6`; byte 3
  /// bits 0-1 `option`.
  uint8_t VendorD6Family(uint32_t subFunction, uint32_t value5, uint32_t value6, uint32_t option);
  /// D6 sub-functions without arguments: bytes 3, 5 and 6 written as 0.
  uint8_t VendorD6Sub03();
  uint8_t VendorD6Sub05();
  uint8_t VendorD6Sub06();
  uint8_t VendorD6Sub10();
  uint8_t VendorD6Sub20();
  uint8_t VendorD6Sub21();
  uint8_t VendorD6Sub22();
  uint8_t VendorD6Sub34();
  /// D6 sub-function 09: byte 5 `value`.
  uint8_t VendorD6Sub09(uint32_t value);
  /// D6 sub-function 23: byte 5 the flag.
  uint8_t VendorD6Sub23(uint32_t flag);
  /// D6 sub-function 25: byte 5 `value5`, byte 6 `value6`, byte 3 bits 0-1 `option`.
  uint8_t VendorD6Sub25(uint32_t value5, uint32_t value6, uint32_t option);
  /// D6 sub-functions 27 and 28: `value` as 16 bits, least significant byte first
  /// in bytes 5-6; byte 3 bits 0-1 `option`.
  uint8_t VendorD6Sub27(uint32_t value, uint32_t option);
  uint8_t VendorD6Sub28(uint32_t value, uint32_t option);
  /// D6 sub-function 30: byte 5 the flag; byte 3 bits 0-1 `option`.
  uint8_t VendorD6Sub30(uint32_t flag, uint32_t option);
  /// D6 sub-function 33: byte 5 the flag.
  uint8_t VendorD6Sub33(uint32_t flag);

  /// Family DD: byte 4 sub-function; bytes 5-7 `value`; byte 3 bits 0-2 `option`.
  uint8_t VendorDdFamily(uint32_t subFunction, uint32_t value, uint32_t option);
  uint8_t VendorDdSub01(uint32_t value, uint32_t option);
  uint8_t VendorDdSub02(uint32_t value, uint32_t option);
  uint8_t VendorDdSub03(uint32_t value, uint32_t option);
  uint8_t VendorDdSub04(uint32_t value, uint32_t option);
  uint8_t VendorDdSub10(uint32_t value, uint32_t option);

  /// Family E0: byte 4 sub-function; bytes 5-7 `first`; bytes 8-10 `second`; byte 11
  /// = `flag7` in bit 7, `flag5` in bit 5; byte 3 = `select` (2 bits) in bits 3-4,
  /// `option` (3 bits) in bits 0-2.
  uint8_t VendorE0Family(uint32_t subFunction, uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5,
                         uint32_t option, uint32_t select);
  /// E0 sub-functions 00 and 09 with every field.
  uint8_t VendorE0Sub00(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5, uint32_t option,
                        uint32_t select);
  uint8_t VendorE0Sub09(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5, uint32_t option,
                        uint32_t select);
  /// E0 sub-functions 04, 0A, 0C, 0D and 10 with option 0.
  uint8_t VendorE0Sub04(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5, uint32_t select);
  uint8_t VendorE0Sub0A(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5, uint32_t select);
  uint8_t VendorE0Sub0C(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5, uint32_t select);
  uint8_t VendorE0Sub0D(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5, uint32_t select);
  uint8_t VendorE0Sub10(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5, uint32_t select);
  /// E0 sub-function 01 from its own template: the E0 fields plus byte 1 bit 0 `flag1`.
  uint8_t VendorE0Sub01(uint32_t first, uint32_t second, uint32_t flag7, uint32_t flag5, uint32_t option,
                        uint32_t flag1, uint32_t select);

  // Vendor-unique commands, the other families (vendor_commands.cpp).

  /// Family DF: bytes 5-7 `value`.
  uint8_t VendorDf(uint32_t value);
  /// Family DF with byte 3 = 01: bytes 5-7 `value`.
  uint8_t VendorDf01(uint32_t value);
  /// Family DF: bytes 5-7 `value`; byte 3 = `select` (2 bits) in bits 3-4, OR 01.
  uint8_t VendorDf01Select(uint32_t value, uint32_t select);
  /// Family DF: bytes 5-7 `value`; byte 3 = `select` (2 bits) in bits 3-4, OR 02.
  uint8_t VendorDf02Select(uint32_t value, uint32_t select);
  /// Family D9 for `byte4` below 40h, D7 from 40h on: byte 4 `byte4`; bytes 6, 7, 8
  /// as given.
  uint8_t VendorD9D7(uint32_t byte4, uint32_t byte6, uint32_t byte7, uint32_t byte8);
  /// Family E2: byte 3 = `flag0` in bit 0, `flag1` in bit 1, `high` from bit 3 up;
  /// bytes 5-7 `first`; bytes 8-10 `second`.
  uint8_t VendorE2(uint32_t flag0, uint32_t flag1, uint32_t first, uint32_t second, uint32_t high);
  /// Family E3: byte 3 as for E2; bytes 4-6 `first`; bytes 7-9 `second`; byte 10
  /// `byte10`; byte 11 `byte11`.
  uint8_t VendorE3(uint32_t flag0, uint32_t flag1, uint32_t first, uint32_t second, uint32_t high,
                   uint32_t byte10, uint32_t byte11);
  /// Family EB: bytes 5-7 `value`.
  uint8_t VendorEb(uint32_t value);
  /// Family EC: bytes 5-7 `value`; bytes 9-10 `value16`.
  uint8_t VendorEc(uint32_t value, uint32_t value16);
  /// Family DE: byte 3 bit 0 the flag; bytes 4-5 `value16`.
  uint8_t VendorDe(uint32_t flag, uint32_t value16);
  /// Family DE, wide form: byte 3 bit 0 the flag, bits 1-2 `option`; bytes 4-7 `value32`.
  uint8_t VendorDeWide(uint32_t flag, uint32_t value32, uint32_t option);
  /// Family EF.
  uint8_t VendorEf();

 private:
  /// The 12-byte execution of READ(12) and WRITE(12); behaves exactly like Execute12.
  uint8_t ExecuteReadWrite12(uint8_t* cdb, int32_t timeout);

  CScsiDrive& m_drive;
};

}  // namespace morv
