// The 10-byte commands and the block-download shortcut, one row per command and
// per edge case.

#include "scsi/library/command_library_test_support.h"

namespace morv {

using L = CScsiCommandLibrary;

std::vector<CdbRow> TenByteRows() {
  return {
      {"Operation20", [](L& l) { return l.Operation20(3); }, "20 01 00 00 00 00 00 00 00 00"},
      {"ReadCapacity_Pmi", [](L& l) { return l.ReadCapacity(1); }, "25 00 00 00 00 00 00 00 01 00"},
      {"Read10", [](L& l) { return l.Read10(0x100, 8, 0, 0); }, "28 00 00 00 01 00 00 00 08 00"},
      {"Read10_AllFields", [](L& l) { return l.Read10(0x12345678, 0x1ABCD, 1, 1); },
       "28 09 12 34 56 78 00 AB CD 00"},
      {"Write10", [](L& l) { return l.Write10(0xFFFFFFFF, 0xFFFF, 1, 2); }, "2A 08 FF FF FF FF 00 FF FF 00"},
      {"Seek10", [](L& l) { return l.Seek10(0x01020304); }, "2B 00 01 02 03 04 00 00 00 00"},
      {"Erase10", [](L& l) { return l.Erase10(0x10, 0x20, 1, 1); }, "2C 05 00 00 00 10 00 00 20 00"},
      {"WriteAndVerify10", [](L& l) { return l.WriteAndVerify10(0xA0B0C0D0, 0x0102, 1, 1); },
       "2E 03 A0 B0 C0 D0 00 01 02 00"},
      {"Verify10", [](L& l) { return l.Verify10(0x10, 4, 1, 0); }, "2F 02 00 00 00 10 00 00 04 00"},
      {"ReadDefectData10", [](L& l) { return l.ReadDefectData10(1, 1, 5, 0x200); }, "37 00 1D 00 00 00 00 02 00 00"},
      {"ReadDefectData10_FormatKeeps3Bits", [](L& l) { return l.ReadDefectData10(0, 1, 0xF, 4); },
       "37 00 0F 00 00 00 00 00 04 00"},
      {"ReadBuffer_ModeKeeps3Bits", [](L& l) { return l.ReadBuffer(0x0D, 0x1F, 0x12345678, 0x4000); },
       "3C 05 1F 34 56 78 00 40 00 00"},
      {"ReadLong", [](L& l) { return l.ReadLong(1, 0x1000, 0x920); }, "3E 02 00 00 10 00 00 09 20 00"},
      {"WriteLong", [](L& l) { return l.WriteLong(0x1000, 0x920); }, "3F 00 00 00 10 00 00 09 20 00"},
      {"ReadSubChannel_Selector0Asks16Bytes", [](L& l) { return l.ReadSubChannel(0, 0); },
       "42 00 40 01 00 00 00 00 10 00"},
      {"ReadSubChannel_Selector1Asks23Bytes", [](L& l) { return l.ReadSubChannel(1, 1); },
       "42 00 40 02 00 00 01 00 17 00"},
      {"ReadSubChannel_Selector2Asks23Bytes", [](L& l) { return l.ReadSubChannel(2, 5); },
       "42 00 40 03 00 00 05 00 17 00"},
      {"ReadSubChannel_Selector3Asks16Bytes", [](L& l) { return l.ReadSubChannel(3, 0); },
       "42 00 40 04 00 00 00 00 10 00"},
      {"ReadToc_MsfCdText", [](L& l) { return l.ReadToc(1, 3, 0x804, 0); }, "43 02 05 00 00 00 00 08 04 00"},
      {"ReadToc_Session", [](L& l) { return l.ReadToc(0, 1, 0x0C, 1); }, "43 00 01 00 00 00 01 00 0C 00"},
      {"ReadToc_FullToc", [](L& l) { return l.ReadToc(1, 2, 0xFFFF, 0xAA); }, "43 02 02 00 00 00 AA FF FF 00"},
      {"ReadToc_UnknownSelectorsSendZero", [](L& l) { return l.ReadToc(2, 4, 0x10004, 0x1AA); },
       "43 00 00 00 00 00 AA 00 04 00"},
      {"PlayAudio10", [](L& l) { return l.PlayAudio10(0x1234, 0x4B); }, "45 00 00 00 12 34 00 00 4B 00"},
      {"PauseResume_WholeByte", [](L& l) { return l.PauseResume(0x1FE); }, "4B 00 00 00 00 00 00 00 FE 00"},
      {"StopPlayScan", [](L& l) { return l.StopPlayScan(); }, "4E 00 00 00 00 00 00 00 00 00"},
      {"ReadFormatCapacities", [](L& l) { return l.ReadFormatCapacities(0xFC); }, "23 00 00 00 00 00 00 00 FC 00"},
      {"SynchronizeCache", [](L& l) { return l.SynchronizeCache(); }, "35 00 00 00 00 00 00 00 00 00"},
      {"ReadHeader_Msf", [](L& l) { return l.ReadHeader(0x4000, 8, 1); }, "44 02 00 00 40 00 00 00 08 00"},
      {"ReadHeader_Lba", [](L& l) { return l.ReadHeader(0x4000, 8, 3); }, "44 00 00 00 40 00 00 00 08 00"},
      {"GetConfiguration", [](L& l) { return l.GetConfiguration(0x8, 0x0107, 2); }, "46 02 01 07 00 00 00 00 08 00"},
      {"GetConfiguration_RequestTypeKeeps2Bits", [](L& l) { return l.GetConfiguration(0x20, 0, 7); },
       "46 03 00 00 00 00 00 00 20 00"},
      {"GetEventStatusNotification", [](L& l) { return l.GetEventStatusNotification(0x10, 8); },
       "4A 01 00 00 10 00 00 00 08 00"},
      {"ModeSelect10", [](L& l) { return l.ModeSelect10(0x3C); }, "55 10 00 00 00 00 00 00 3C 00"},
      {"ModeSense10", [](L& l) { return l.ModeSense10(0, 0, 0x2A, 0x1234); }, "5A 00 2A 00 00 00 00 12 34 00"},
      {"ModeSense10_AllFields", [](L& l) { return l.ModeSense10(1, 1, 0x3F, 0xFF); },
       "5A 08 7F 00 00 00 00 00 FF 00"},
      {"WriteBufferBlock", [](L& l) { return l.WriteBufferBlock(3, 5); }, "3B 05 03 00 00 00 00 40 00 00"},
      {"WriteBufferBlock_Block31Mode4", [](L& l) { return l.WriteBufferBlock(31, 4); },
       "3B 04 1F 00 00 00 00 40 00 00"},
  };
}

INSTANTIATE_TEST_SUITE_P(TenByte, CdbRowTest, ::testing::ValuesIn(TenByteRows()), RowName);

}  // namespace morv
