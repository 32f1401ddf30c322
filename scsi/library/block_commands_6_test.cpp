// The 6-byte commands, one row per command and per edge case.

#include "scsi/library/command_library_test_support.h"

namespace morv {

using L = CScsiCommandLibrary;

std::vector<CdbRow> SixByteRows() {
  return {
      {"RezeroUnit", [](L& l) { return l.RezeroUnit(); }, "01 00 00 00 00 00"},
      {"RequestSense", [](L& l) { return l.RequestSense(18); }, "03 00 00 00 12 00"},
      {"RequestSense_LengthKeepsLow8Bits", [](L& l) { return l.RequestSense(0x1FF); }, "03 00 00 00 FF 00"},
      {"FormatUnit_BothFlags", [](L& l) { return l.FormatUnit(1, 1); }, "04 18 00 00 00 00"},
      {"FormatUnit_FlagsAreLowestBit", [](L& l) { return l.FormatUnit(2, 3); }, "04 08 00 00 00 00"},
      {"ReassignBlocks", [](L& l) { return l.ReassignBlocks(); }, "07 00 00 00 00 00"},
      {"Read6_Address123456", [](L& l) { return l.Read6(0x123456, 8); }, "08 12 34 56 08 00"},
      {"Read6_AddressTruncatedTo21Bits", [](L& l) { return l.Read6(0x3FFFFF, 0x1FF); }, "08 1F FF FF FF 00"},
      {"Write6", [](L& l) { return l.Write6(0x0ABCDE, 1); }, "0A 0A BC DE 01 00"},
      {"Write6_AddressTruncatedTo21Bits", [](L& l) { return l.Write6(0xFFE00010, 0); }, "0A 00 00 10 00 00"},
      {"Seek6", [](L& l) { return l.Seek6(0x010203); }, "0B 01 02 03 00 00"},
      {"Seek6_Bit21Dropped", [](L& l) { return l.Seek6(0x200000); }, "0B 00 00 00 00 00"},
      {"ModeSelect6", [](L& l) { return l.ModeSelect6(0x18); }, "15 10 00 00 18 00"},
      {"Reserve6", [](L& l) { return l.Reserve6(1, 5); }, "16 1A 00 00 00 00"},
      {"Reserve6_DeviceIdKeeps3Bits", [](L& l) { return l.Reserve6(0, 9); }, "16 02 00 00 00 00"},
      {"Release6", [](L& l) { return l.Release6(1, 7); }, "17 1E 00 00 00 00"},
      {"ModeSense6", [](L& l) { return l.ModeSense6(1, 2, 0x2A, 0xFC); }, "1A 08 AA 00 FC 00"},
      {"ModeSense6_PageCodeKeeps6Bits", [](L& l) { return l.ModeSense6(0, 3, 0x7F, 4); }, "1A 00 FF 00 04 00"},
      {"ModeSense6_PageControlKeeps2Bits", [](L& l) { return l.ModeSense6(0, 5, 0x01, 4); }, "1A 00 41 00 04 00"},
      {"StartStopUnit_AllFlags", [](L& l) { return l.StartStopUnit(1, 1, 1); }, "1B 01 00 00 03 00"},
      {"StartStopUnit_Eject", [](L& l) { return l.StartStopUnit(0, 0, 1); }, "1B 00 00 00 02 00"},
      {"ReceiveDiagnosticResults", [](L& l) { return l.ReceiveDiagnosticResults(0x1234); }, "1C 00 00 12 34 00"},
      {"SendDiagnostic", [](L& l) { return l.SendDiagnostic(0x01, 0x10); }, "1D 04 00 00 10 00"},
      // Bits shifted into 5-7 give way to the LUN; the length keeps 16 bits.
      {"SendDiagnostic_HighBitsAreLun", [](L& l) { return l.SendDiagnostic(0x3F, 0x12345); }, "1D 1C 00 23 45 00"},
      {"PreventAllowMediumRemoval", [](L& l) { return l.PreventAllowMediumRemoval(1); }, "1E 00 00 00 01 00"},
      {"PreventAllowMediumRemoval_Allow", [](L& l) { return l.PreventAllowMediumRemoval(2); }, "1E 00 00 00 00 00"},
  };
}

INSTANTIATE_TEST_SUITE_P(SixByte, CdbRowTest, ::testing::ValuesIn(SixByteRows()), RowName);

}  // namespace morv
