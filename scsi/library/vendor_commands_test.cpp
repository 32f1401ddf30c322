// The vendor-unique DF commands: every family builder and every sub-function
// method, one row each, plus the edge cases of their argument rules.

#include "scsi/library/command_library_test_support.h"

namespace morv {

using L = CScsiCommandLibrary;

std::vector<CdbRow> VendorRows() {
  return {
      // Family D6 and its fifteen methods.
      {"D6Family", [](L& l) { return l.VendorD6Family(0x25, 0x1AB, 0xCD, 7); }, "DF 00 D6 03 25 AB CD 00 00 00 00 00"},
      {"D6Sub03", [](L& l) { return l.VendorD6Sub03(); }, "DF 00 D6 00 03 00 00 00 00 00 00 00"},
      {"D6Sub05", [](L& l) { return l.VendorD6Sub05(); }, "DF 00 D6 00 05 00 00 00 00 00 00 00"},
      {"D6Sub06", [](L& l) { return l.VendorD6Sub06(); }, "DF 00 D6 00 06 00 00 00 00 00 00 00"},
      {"D6Sub10", [](L& l) { return l.VendorD6Sub10(); }, "DF 00 D6 00 10 00 00 00 00 00 00 00"},
      {"D6Sub20", [](L& l) { return l.VendorD6Sub20(); }, "DF 00 D6 00 20 00 00 00 00 00 00 00"},
      {"D6Sub21", [](L& l) { return l.VendorD6Sub21(); }, "DF 00 D6 00 21 00 00 00 00 00 00 00"},
      {"D6Sub22", [](L& l) { return l.VendorD6Sub22(); }, "DF 00 D6 00 22 00 00 00 00 00 00 00"},
      {"D6Sub34", [](L& l) { return l.VendorD6Sub34(); }, "DF 00 D6 00 34 00 00 00 00 00 00 00"},
      {"D6Sub09", [](L& l) { return l.VendorD6Sub09(0x17F); }, "DF 00 D6 00 09 7F 00 00 00 00 00 00"},
      {"D6Sub23_FlagIsLowestBit", [](L& l) { return l.VendorD6Sub23(3); }, "DF 00 D6 00 23 01 00 00 00 00 00 00"},
      {"D6Sub25", [](L& l) { return l.VendorD6Sub25(0x11, 0x22, 2); }, "DF 00 D6 02 25 11 22 00 00 00 00 00"},
      {"D6Sub27_LeastSignificantByteFirst", [](L& l) { return l.VendorD6Sub27(0x1234, 1); },
       "DF 00 D6 01 27 34 12 00 00 00 00 00"},
      {"D6Sub28", [](L& l) { return l.VendorD6Sub28(0x5ABCD, 3); }, "DF 00 D6 03 28 CD AB 00 00 00 00 00"},
      {"D6Sub30", [](L& l) { return l.VendorD6Sub30(1, 2); }, "DF 00 D6 02 30 01 00 00 00 00 00 00"},
      {"D6Sub33", [](L& l) { return l.VendorD6Sub33(2); }, "DF 00 D6 00 33 00 00 00 00 00 00 00"},
      // Family DD.
      {"DdFamily", [](L& l) { return l.VendorDdFamily(0x07, 0x123456, 5); }, "DF 00 DD 05 07 12 34 56 00 00 00 00"},
      {"DdSub01", [](L& l) { return l.VendorDdSub01(0x10, 1); }, "DF 00 DD 01 01 00 00 10 00 00 00 00"},
      {"DdSub02", [](L& l) { return l.VendorDdSub02(0x1000000, 2); }, "DF 00 DD 02 02 00 00 00 00 00 00 00"},
      {"DdSub03_OptionKeeps3Bits", [](L& l) { return l.VendorDdSub03(0xABCDEF, 0xF); },
       "DF 00 DD 07 03 AB CD EF 00 00 00 00"},
      {"DdSub04", [](L& l) { return l.VendorDdSub04(0x20, 0); }, "DF 00 DD 00 04 00 00 20 00 00 00 00"},
      {"DdSub10", [](L& l) { return l.VendorDdSub10(0x30, 4); }, "DF 00 DD 04 10 00 00 30 00 00 00 00"},
      // Family E0 and its separate sub-function 01.
      {"E0Family", [](L& l) { return l.VendorE0Family(0x05, 0x010203, 0x040506, 1, 1, 7, 3); },
       "DF 00 E0 1F 05 01 02 03 04 05 06 A0"},
      {"E0Sub00", [](L& l) { return l.VendorE0Sub00(0x1, 0x2, 1, 0, 2, 1); }, "DF 00 E0 0A 00 00 00 01 00 00 02 80"},
      {"E0Sub09_FieldsKeepTheirWidths", [](L& l) { return l.VendorE0Sub09(0x1FFFFFF, 0x1000001, 2, 3, 0xF, 0x6); },
       "DF 00 E0 17 09 FF FF FF 00 00 01 20"},
      {"E0Sub04", [](L& l) { return l.VendorE0Sub04(0xFFFFFF, 0, 0, 1, 2); }, "DF 00 E0 10 04 FF FF FF 00 00 00 20"},
      {"E0Sub0A", [](L& l) { return l.VendorE0Sub0A(1, 2, 1, 1, 1); }, "DF 00 E0 08 0A 00 00 01 00 00 02 A0"},
      {"E0Sub0C", [](L& l) { return l.VendorE0Sub0C(0x123, 0x456, 0, 0, 3); }, "DF 00 E0 18 0C 00 01 23 00 04 56 00"},
      {"E0Sub0D", [](L& l) { return l.VendorE0Sub0D(0, 0, 1, 0, 0); }, "DF 00 E0 00 0D 00 00 00 00 00 00 80"},
      {"E0Sub10", [](L& l) { return l.VendorE0Sub10(0x10, 0x20, 0, 1, 1); }, "DF 00 E0 08 10 00 00 10 00 00 20 20"},
      {"E0Sub01", [](L& l) { return l.VendorE0Sub01(0x0A0B0C, 0x0D0E0F, 1, 1, 5, 1, 2); },
       "DF 01 E0 15 01 0A 0B 0C 0D 0E 0F A0"},
      {"E0Sub01_Zero", [](L& l) { return l.VendorE0Sub01(0, 0, 0, 0, 0, 2, 0); }, "DF 00 E0 00 01 00 00 00 00 00 00 00"},
      // The other families.
      {"Df", [](L& l) { return l.VendorDf(0x123456); }, "DF 00 DF 00 00 12 34 56 00 00 00 00"},
      {"Df01", [](L& l) { return l.VendorDf01(0x10); }, "DF 00 DF 01 00 00 00 10 00 00 00 00"},
      {"Df01Select", [](L& l) { return l.VendorDf01Select(0x20, 3); }, "DF 00 DF 19 00 00 00 20 00 00 00 00"},
      {"Df02Select_SelectKeeps2Bits", [](L& l) { return l.VendorDf02Select(0x20, 5); },
       "DF 00 DF 0A 00 00 00 20 00 00 00 00"},
      {"D9D7_3FIsD9", [](L& l) { return l.VendorD9D7(0x3F, 1, 2, 3); }, "DF 00 D9 00 3F 00 01 02 03 00 00 00"},
      {"D9D7_40IsD7", [](L& l) { return l.VendorD9D7(0x40, 1, 2, 3); }, "DF 00 D7 00 40 00 01 02 03 00 00 00"},
      {"D9D7_FamilyFollowsByteSent", [](L& l) { return l.VendorD9D7(0x13F, 0, 0, 0); },
       "DF 00 D9 00 3F 00 00 00 00 00 00 00"},
      {"E2", [](L& l) { return l.VendorE2(1, 1, 0x010203, 0x040506, 0x1F); }, "DF 00 E2 FB 00 01 02 03 04 05 06 00"},
      {"E3", [](L& l) { return l.VendorE3(0, 1, 0xAABBCC, 0x112233, 2, 0x44, 0x155); },
       "DF 00 E3 12 AA BB CC 11 22 33 44 55"},
      {"Eb", [](L& l) { return l.VendorEb(0x1000010); }, "DF 00 EB 00 00 00 00 10 00 00 00 00"},
      {"Ec", [](L& l) { return l.VendorEc(0x123456, 0x1789A); }, "DF 00 EC 00 00 12 34 56 00 78 9A 00"},
      {"De", [](L& l) { return l.VendorDe(1, 0x1234); }, "DF 00 DE 01 12 34 00 00 00 00 00 00"},
      {"DeWide", [](L& l) { return l.VendorDeWide(1, 0x12345678, 3); }, "DF 00 DE 07 12 34 56 78 00 00 00 00"},
      {"Ef", [](L& l) { return l.VendorEf(); }, "DF 00 EF 00 00 00 00 00 00 00 00 00"},
  };
}

INSTANTIATE_TEST_SUITE_P(Vendor, CdbRowTest, ::testing::ValuesIn(VendorRows()), RowName);

}  // namespace morv
