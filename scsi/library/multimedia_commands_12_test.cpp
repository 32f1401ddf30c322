// The 12-byte multimedia commands, one row per command and per edge case.

#include "scsi/library/command_library_test_support.h"

namespace morv {

using L = CScsiCommandLibrary;

std::vector<CdbRow> TwelveByteRows() {
  return {
      {"LoadMedium", [](L& l) { return l.LoadMedium(2); }, "A6 00 00 00 03 00 00 00 02 00 00 00"},
      {"UnloadMedium", [](L& l) { return l.UnloadMedium(0x105); }, "A6 00 00 00 02 00 00 00 05 00 00 00"},
      {"Read12", [](L& l) { return l.Read12(0x11223344, 0x55667788, 1, 1); }, "A8 09 11 22 33 44 55 66 77 88 00 00"},
      {"Write12", [](L& l) { return l.Write12(0x10, 0x20, 0, 1); }, "AA 01 00 00 00 10 00 00 00 20 00 00"},
      {"ReadCd_LengthKeeps24Bits", [](L& l) { return l.ReadCd(0x04, 0xF8, 0x01, 0x123456, 0x1000010); },
       "BE 04 00 12 34 56 00 00 10 F8 01 00"},
      {"GetPerformance", [](L& l) { return l.GetPerformance(0x10, 0x100, 0x20, 0x03); },
       "AC 10 00 00 01 00 00 00 00 20 03 00"},
      {"SendEvent", [](L& l) { return l.SendEvent(0x0C, 0x01); }, "A2 01 00 00 00 00 00 00 00 0C 00 00"},
      {"SendKey", [](L& l) { return l.SendKey(0x00, 0x14, 2, 0x01); }, "A3 00 00 00 00 00 00 00 00 14 81 00"},
      // An out-of-range key format must not change the AGID bits.
      {"SendKey_KeyFormatKeeps6Bits", [](L& l) { return l.SendKey(0x00, 0x0C, 0, 0x41); },
       "A3 00 00 00 00 00 00 00 00 0C 01 00"},
      {"ReportKey", [](L& l) { return l.ReportKey(0x1234, 0x00, 0x10, 3, 0x3F); },
       "A4 00 00 00 12 34 00 00 00 10 FF 00"},
      {"ReadDvdStructure", [](L& l) { return l.ReadDvdStructure(0x30000, 1, 0x804, 2, 0x0E); },
       "AD 00 00 03 00 00 01 0E 08 04 80 00"},
      {"SetStreaming", [](L& l) { return l.SetStreaming(); }, "B6 00 00 00 00 00 00 00 00 00 1C 00"},
      {"MechanismStatus", [](L& l) { return l.MechanismStatus(0x08); }, "BD 00 00 00 00 00 00 00 00 08 00 00"},
  };
}

INSTANTIATE_TEST_SUITE_P(TwelveByte, CdbRowTest, ::testing::ValuesIn(TwelveByteRows()), RowName);

}  // namespace morv
