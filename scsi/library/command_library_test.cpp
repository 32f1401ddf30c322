// What every library command shares: exactly its CDB with the command time-out,
// templates that keep what a call does not write and are disturbed by no other
// command, the LUN merge, the repeat on UNIT ATTENTION and the data buffer.

#include "scsi/library/command_library_test_support.h"

namespace morv {
namespace {

using L = CScsiCommandLibrary;

std::vector<CdbRow> AllRows() {
  std::vector<CdbRow> all;
  for (auto group : {SixByteRows, TenByteRows, TwelveByteRows, VendorRows})
    for (auto& row : group()) all.push_back(row);
  return all;
}

}  // namespace

TEST_P(CdbRowTest, SendsExactlyItsCdbWithTheCommandTimeout) { EXPECT_EQ(Send(GetParam()), GetParam().cdb); }

// A command writes its own template only: after all the others (and MODE SENSE(10)
// with allocation length 1234h) every command still sends exactly its CDB.
TEST(CommandLibraryTemplates, NoCommandDisturbsAnotherCommandsTemplate) {
  LibraryFixture f;
  const auto rows = AllRows();
  for (const auto& row : rows) EXPECT_EQ(f.Send(row), row.cdb) << row.name;
  EXPECT_EQ(f.Send({"ModeSense10", [](L& l) { return l.ModeSense10(0, 0, 0, 0x1234); }, ""}),
            "5A 00 00 00 00 00 00 12 34 00");
  for (auto row = rows.rbegin(); row != rows.rend(); ++row) EXPECT_EQ(f.Send(*row), row->cdb) << row->name;
}

// Calls in sequence on one template: every listed byte is rewritten by each call
// (nothing left over from the previous one), constant bytes and bits stay.
struct Step {
  uint8_t lun;
  std::function<uint8_t(L&)> call;
  std::string cdb;
};
struct Sequence {
  std::string name;
  std::vector<Step> steps;
};
void PrintTo(const Step& step, std::ostream* os) { *os << step.cdb; }
void PrintTo(const Sequence& sequence, std::ostream* os) { *os << sequence.name; }

class CommandLibrarySequence : public ::testing::TestWithParam<Sequence>, public LibraryFixture {};

TEST_P(CommandLibrarySequence, EachCallSendsItsOwnFieldsOverTheTemplate) {
  for (const auto& step : GetParam().steps) {
    drive.SetAddress(DriveAddress::Target(0, 0, step.lun));
    EXPECT_EQ(Send({GetParam().name, step.call, step.cdb}), step.cdb);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Templates, CommandLibrarySequence,
    ::testing::Values(
        Sequence{"Read10FieldsClearAgain",
                 {{0, [](L& l) { return l.Read10(0x12345678, 0xABCD, 1, 1); }, "28 09 12 34 56 78 00 AB CD 00"},
                  {0, [](L& l) { return l.Read10(0, 0, 0, 0); }, "28 00 00 00 00 00 00 00 00 00"}}},
        Sequence{"ModeSense6FlagClearsAgain",
                 {{0, [](L& l) { return l.ModeSense6(1, 3, 0x3F, 0xFF); }, "1A 08 FF 00 FF 00"},
                  {0, [](L& l) { return l.ModeSense6(0, 0, 0x01, 0x10); }, "1A 00 01 00 10 00"}}},
        Sequence{"SubChannelKeepsSubQBit",
                 {{0, [](L& l) { return l.ReadSubChannel(2, 1); }, "42 00 40 03 00 00 01 00 17 00"},
                  {0, [](L& l) { return l.ReadSubChannel(0, 0); }, "42 00 40 01 00 00 00 00 10 00"}}},
        Sequence{"D6MethodsShareOneTemplate",
                 {{0, [](L& l) { return l.VendorD6Sub25(0x11, 0x22, 3); }, "DF 00 D6 03 25 11 22 00 00 00 00 00"},
                  {0, [](L& l) { return l.VendorD6Sub03(); }, "DF 00 D6 00 03 00 00 00 00 00 00 00"},
                  {0, [](L& l) { return l.VendorD6Sub27(0xBEEF, 0); }, "DF 00 D6 00 27 EF BE 00 00 00 00 00"}}},
        Sequence{"D9D7FamilySwitchesBothWays",
                 {{0, [](L& l) { return l.VendorD9D7(0x3F, 1, 1, 1); }, "DF 00 D9 00 3F 00 01 01 01 00 00 00"},
                  {0, [](L& l) { return l.VendorD9D7(0x40, 0, 0, 0); }, "DF 00 D7 00 40 00 00 00 00 00 00 00"},
                  {0, [](L& l) { return l.VendorD9D7(0x00, 0, 0, 0); }, "DF 00 D9 00 00 00 00 00 00 00 00 00"}}},
        Sequence{"PolledBitSurvivesLunChanges",
                 {{5, [](L& l) { return l.GetEventStatusNotification(0x10, 8); }, "4A A1 00 00 10 00 00 00 08 00"},
                  {0, [](L& l) { return l.GetEventStatusNotification(0x10, 8); }, "4A 01 00 00 10 00 00 00 08 00"}}},
        Sequence{"ConstantByte3OfDf01Stays",
                 {{0, [](L& l) { return l.VendorDf01(0xFFFFFF); }, "DF 00 DF 01 00 FF FF FF 00 00 00 00"},
                  {0, [](L& l) { return l.VendorDf01(0); }, "DF 00 DF 01 00 00 00 00 00 00 00 00"}}}),
    [](const auto& info) { return info.param.name; });

// The LUN goes into bits 5-7 of byte 1 of every length, over the command's own bits.
class CommandLibraryLun : public ::testing::TestWithParam<Step>, public LibraryFixture {};

TEST_P(CommandLibraryLun, MergesTheLunIntoByte1) {
  drive.SetAddress(DriveAddress::Target(0, 0, GetParam().lun));
  EXPECT_EQ(Send({"lun", GetParam().call, GetParam().cdb}), GetParam().cdb);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, CommandLibraryLun,
    ::testing::Values(Step{7, [](L& l) { return l.Read6(0x1F0000, 1); }, "08 FF 00 00 01 00"},
                      Step{1, [](L& l) { return l.ModeSelect10(4); }, "55 30 00 00 00 00 00 00 04 00"},
                      Step{3, [](L& l) { return l.Read12(0, 1, 1, 1); }, "A8 69 00 00 00 00 00 00 00 01 00 00"},
                      Step{2, [](L& l) { return l.VendorE0Sub01(0, 0, 0, 0, 0, 1, 0); },
                           "DF 41 E0 00 01 00 00 00 00 00 00 00"},
                      Step{4, [](L& l) { return l.ReadCd(0xFF, 0, 0, 0, 0); }, "BE 9F 00 00 00 00 00 00 00 00 00 00"}));

// In MorvantideNT every library command is repeated while it fails with UNIT
// ATTENTION, READ(12)/WRITE(12) through their own execution too; other failures
// are returned after one attempt.
struct AttentionCase {
  std::string name;
  std::function<uint8_t(L&)> call;
  uint8_t senseKey;
  uint8_t code;
  size_t sent;
};
void PrintTo(const AttentionCase& c, std::ostream* os) { *os << c.name; }

class CommandLibraryAttention : public ::testing::TestWithParam<AttentionCase>, public LibraryFixture {};

TEST_P(CommandLibraryAttention, RepeatsOnlyOnUnitAttention) {
  const auto& c = GetParam();
  transport.replies.push_back(FakeTransport::CheckCondition(c.senseKey, 0x29, 0x00));
  EXPECT_EQ(c.call(library), c.code);
  ASSERT_EQ(transport.sent.size(), c.sent);
  for (const auto& sent : transport.sent) {
    EXPECT_EQ(sent.cdb, transport.sent.front().cdb);
    EXPECT_EQ(sent.timeout, kCommandTimeout);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, CommandLibraryAttention,
    ::testing::Values(AttentionCase{"Seek6", [](L& l) { return l.Seek6(1); }, 0x06, kCodeDone, 2},
                      AttentionCase{"ReadCapacity", [](L& l) { return l.ReadCapacity(0); }, 0x06, kCodeDone, 2},
                      AttentionCase{"Read12", [](L& l) { return l.Read12(1, 1, 0, 0); }, 0x06, kCodeDone, 2},
                      AttentionCase{"Write12", [](L& l) { return l.Write12(1, 1, 0, 0); }, 0x06, kCodeDone, 2},
                      AttentionCase{"VendorEf", [](L& l) { return l.VendorEf(); }, 0x06, kCodeDone, 2},
                      AttentionCase{"Read12NotReady", [](L& l) { return l.Read12(1, 1, 0, 0); }, 0x02, kCodeError, 1},
                      AttentionCase{"Read10NotReady", [](L& l) { return l.Read10(1, 1, 0, 0); }, 0x02, kCodeError, 1}),
    [](const auto& info) { return info.param.name; });

// Commands that move data hand on the caller's buffer; commands that move none,
// also through their arguments, go out without it.
struct BufferCase {
  std::string name;
  std::function<uint8_t(L&)> call;
  bool keepsBuffer;
};
void PrintTo(const BufferCase& c, std::ostream* os) { *os << c.name; }

class CommandLibraryBuffer : public ::testing::TestWithParam<BufferCase>, public LibraryFixture {};

TEST_P(CommandLibraryBuffer, HandsOnTheBufferOnlyWithADataPhase) {
  uint8_t data[0x4000] = {};
  drive.SetBuffer(data, sizeof data);
  EXPECT_EQ(GetParam().call(library), kCodeDone);
  ASSERT_EQ(transport.sent.size(), 1u);
  EXPECT_EQ(transport.sent[0].data, GetParam().keepsBuffer ? data : nullptr);
  EXPECT_EQ(transport.sent[0].dataLength, GetParam().keepsBuffer ? sizeof data : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CommandLibraryBuffer,
    ::testing::Values(BufferCase{"Read10", [](L& l) { return l.Read10(0, 8, 0, 0); }, true},
                      BufferCase{"WriteBufferBlock", [](L& l) { return l.WriteBufferBlock(0, 4); }, true},
                      BufferCase{"FormatUnitWithList", [](L& l) { return l.FormatUnit(1, 0); }, true},
                      BufferCase{"FormatUnitWithoutList", [](L& l) { return l.FormatUnit(0, 1); }, false},
                      BufferCase{"Verify10ByteCompare", [](L& l) { return l.Verify10(0, 1, 1, 0); }, true},
                      BufferCase{"Verify10MediumOnly", [](L& l) { return l.Verify10(0, 1, 0, 0); }, false},
                      BufferCase{"StartStopUnit", [](L& l) { return l.StartStopUnit(1, 0, 0); }, false},
                      BufferCase{"LoadMedium", [](L& l) { return l.LoadMedium(0); }, false}),
    [](const auto& info) { return info.param.name; });

}  // namespace morv
