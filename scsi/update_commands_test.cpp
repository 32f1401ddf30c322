// What the update commands hand to the transport (CDB bytes, buffer, time-out) and
// how Execute and InquireProductId repeat on a unit attention in each program.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "scsi/testing/fake_transport.h"

namespace morv {
namespace {

using Bytes = std::vector<uint8_t>;
using Reply = FakeTransport::Reply;

struct Bench {
  explicit Bench(ProgramKind kind = ProgramKind::NT) : transport(kind) {}
  FakeTransport transport;
  CScsiDrive drive{transport};
};

TEST(ScsiDriveTest, ConstructionStartsEmpty) {
  Bench bench;
  EXPECT_TRUE(bench.drive.GetErrorText().empty());
  EXPECT_EQ(bench.drive.Address(), DriveAddress{});
  EXPECT_EQ(bench.drive.TargetStatus(), 0);
  // No buffer, and no command name opens the first composed text.
  bench.transport.replies.push_back(FakeTransport::CheckCondition(0x05, 0x24, 0x00));
  EXPECT_EQ(bench.drive.Inquiry(36), kCodeError);
  EXPECT_EQ(bench.transport.sent[0].data, nullptr);
  EXPECT_EQ(bench.transport.sent[0].dataLength, 0u);
  EXPECT_EQ(bench.drive.GetErrorText().rfind(" fake 2", 0), 0u);
}

struct CdbCase {
  const char* name;
  uint8_t lun;
  std::function<uint8_t(CScsiDrive&)> command;
  Bytes cdb;
  int32_t timeout;
};

TEST(UpdateCommandsTest, SendTheirTemplatesByteForByte) {
  const std::vector<CdbCase> cases = {
      {"WriteBuffer masks the mode", 0, [](CScsiDrive& d) { return d.WriteBuffer(0x0D, 0x1F, 0x12345678, 0x4000); },
       {0x3B, 0x05, 0x1F, 0x34, 0x56, 0x78, 0x00, 0x40, 0x00, 0x00}, 7200},
      {"WriteBuffer half block", 0, [](CScsiDrive& d) { return d.WriteBuffer(4, 3, 0x2000, 0x2000); },
       {0x3B, 0x04, 0x03, 0x00, 0x20, 0x00, 0x00, 0x20, 0x00, 0x00}, 7200},
      {"WriteBuffer drops bits above 23", 0,
       [](CScsiDrive& d) { return d.WriteBuffer(0xFF, 0x00, 0xAB123456, 0x01004000); },
       {0x3B, 0x07, 0x00, 0x12, 0x34, 0x56, 0x00, 0x40, 0x00, 0x00}, 7200},
      {"WriteBuffer save at LUN 2", 2, [](CScsiDrive& d) { return d.WriteBuffer(5, 31, 0, 0x4000); },
       {0x3B, 0x45, 0x1F, 0x00, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00}, 7200},
      {"WriteBuffer after a LUN 2 call", 0, [](CScsiDrive& d) { return d.WriteBuffer(4, 0, 0, 0x4000); },
       {0x3B, 0x04, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x00, 0x00}, 7200},
      {"Inquiry 255", 0, [](CScsiDrive& d) { return d.Inquiry(255); }, {0x12, 0x00, 0x00, 0x00, 0xFF, 0x00}, 7200},
      {"Inquiry 36 at LUN 3", 3, [](CScsiDrive& d) { return d.Inquiry(36); },
       {0x12, 0x60, 0x00, 0x00, 0x24, 0x00}, 7200},
      {"TestUnitReady", 0, [](CScsiDrive& d) { return d.TestUnitReady(); }, {0, 0, 0, 0, 0, 0}, 7200},
      {"TestUnitReadyVU at LUN 0", 0,
       [](CScsiDrive& d) { return d.Execute6(CScsiDrive::TestUnitReadyVU(), kCommandTimeout); },
       {0x00, 0x00, 0x00, 0x00, 0x00, 0xC0}, 7200},
      {"TestUnitReadyVU at LUN 1", 1,
       [](CScsiDrive& d) { return d.Execute6(CScsiDrive::TestUnitReadyVU(), kCommandTimeout); },
       {0x00, 0x20, 0x00, 0x00, 0x00, 0xC0}, 7200},
      {"InquireProductId", 0, [](CScsiDrive& d) { std::string id; return d.InquireProductId(id); },
       {0x12, 0x00, 0x00, 0x00, 0xFF, 0x00}, 10},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bench bench;
    bench.drive.SetAddress(DriveAddress::Target(0, 0, c.lun));
    EXPECT_EQ(c.command(bench.drive), kCodeDone);
    ASSERT_EQ(bench.transport.sent.size(), 1u);
    EXPECT_EQ(bench.transport.sent[0].cdb, c.cdb);
    EXPECT_EQ(bench.transport.sent[0].timeout, c.timeout);
    EXPECT_EQ(bench.transport.sent[0].address.lun, c.lun);
  }
}

TEST(ExecuteTest, MergesTheLunIntoByteOneInPlaceAndBack) {
  Bench bench;
  uint8_t cdb[6] = {0x12, 0x1F, 0x00, 0x00, 0x24, 0x00};
  for (auto [lun, expected] : std::vector<std::pair<uint8_t, uint8_t>>{{0, 0x1F}, {5, 0xBF}, {0, 0x1F}, {7, 0xFF}}) {
    bench.drive.SetAddress(DriveAddress::Target(0, 0, lun));
    bench.drive.Execute6(cdb, kCommandTimeout);
    EXPECT_EQ(cdb[1], expected) << "LUN " << int(lun);
    EXPECT_EQ(bench.transport.sent.back().cdb[1], expected) << "LUN " << int(lun);
  }
}

TEST(ExecuteTest, HandsOnTheCallersBufferOnlyToCommandsThatMoveData) {
  struct Case {
    const char* name;
    std::function<uint8_t(CScsiDrive&)> command;
    bool passesBuffer;
  };
  const std::vector<Case> cases = {
      {"TestUnitReady", [](CScsiDrive& d) { return d.TestUnitReady(); }, false},
      {"TestUnitReadyVU", [](CScsiDrive& d) { return d.Execute6(CScsiDrive::TestUnitReadyVU(), kCommandTimeout); },
       false},
      {"Inquiry", [](CScsiDrive& d) { return d.Inquiry(255); }, true},
      {"WriteBuffer", [](CScsiDrive& d) { return d.WriteBuffer(4, 0, 0, 255); }, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bench bench;
    uint8_t buffer[300] = {};
    bench.drive.SetBuffer(buffer, 255);
    c.command(bench.drive);
    ASSERT_EQ(bench.transport.sent.size(), 1u);
    EXPECT_EQ(bench.transport.sent[0].data, c.passesBuffer ? buffer : nullptr);
    EXPECT_EQ(bench.transport.sent[0].dataLength, c.passesBuffer ? 255u : 0u);
  }
}

/// A refusal before the device, with the transport's own text.
Reply Refusal(uint8_t code) {
  Reply r;
  r.code = code;
  r.reachedDevice = false;
  r.errorText = "Inuse";
  return r;
}

Reply UnitAttention() { return FakeTransport::CheckCondition(kSenseKeyUnitAttention, 0x29, 0x00); }
Reply NotReady() { return FakeTransport::CheckCondition(0x02, 0x3A, 0x00); }
Reply Good() { return Reply{}; }

struct RepeatCase {
  const char* name;
  ProgramKind kind;
  std::vector<Reply> replies;
  size_t sends;
  uint8_t code;
};

TEST(ExecuteTest, RepeatsOnUnitAttentionOnlyInMorvantideNT) {
  const std::vector<RepeatCase> cases = {
      {"NT: unit attention, then good", ProgramKind::NT, {UnitAttention(), Good()}, 2, kCodeDone},
      {"NT: two unit attentions, then good", ProgramKind::NT, {UnitAttention(), UnitAttention(), Good()}, 3, kCodeDone},
      {"NT: not ready", ProgramKind::NT, {NotReady(), Good()}, 1, kCodeError},
      {"NT: unit attention, then not ready", ProgramKind::NT, {UnitAttention(), NotReady(), Good()}, 2, kCodeError},
      {"NT: unit attention, then a refusal", ProgramKind::NT, {UnitAttention(), Refusal(kCodeError), Good()}, 2,
       kCodeError},
      {"NT: busy after a unit attention", ProgramKind::NT,
       {UnitAttention(), Refusal(kCodeTargetBusy), Good()}, 2, kCodeTargetBusy},
      {"Four: unit attention", ProgramKind::Four, {UnitAttention(), Good()}, 1, kCodeError},
      // A device that never stops reporting UNIT ATTENTION must not hang the program.
      {"NT: unit attention for ever", ProgramKind::NT,
       std::vector<Reply>(kMaxUnitAttentionRepeats + 5, UnitAttention()), kMaxUnitAttentionRepeats + 1, kCodeError},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bench bench(c.kind);
    bench.transport.replies.assign(c.replies.begin(), c.replies.end());
    EXPECT_EQ(bench.drive.TestUnitReady(), c.code);
    EXPECT_EQ(bench.transport.sent.size(), c.sends);
  }
}

/// Standard INQUIRY data with the given product identification bytes (16 at most).
Bytes InquiryData(const std::string& product, size_t length = 36) {
  Bytes data(length, 0);
  data[0] = 0x05;
  const std::string vendor = "VENDOR  ";
  std::copy(vendor.begin(), vendor.end(), data.begin() + 8);
  std::copy(product.begin(), product.end(), data.begin() + 16);
  if (length >= 36) std::copy_n("1.00", 4, data.begin() + 32);
  return data;
}

Reply InquiryReply(const Bytes& data) {
  Reply r;
  r.dataIn = data;
  return r;
}

struct ProductIdCase {
  const char* name;
  ProgramKind kind;
  std::vector<Reply> replies;
  uint8_t code;
  std::string productId;
  size_t sends;
};

TEST(InquireProductIdTest, ReturnsTheProductIdAsSixteenCharactersAndRepeatsOnUnitAttention) {
  const std::vector<ProductIdCase> cases = {
      {"all sixteen bytes", ProgramKind::Four, {InquiryReply(InquiryData("ABCDEFGHIJKLMNOP"))}, kCodeDone,
       "ABCDEFGHIJKLMNOP", 1},
      // A zero byte ends the text and the rest reads as spaces, as the kernel reads it.
      {"ten characters and a zero", ProgramKind::Four, {InquiryReply(InquiryData("ABCDEFGHIJ"))}, kCodeDone,
       "ABCDEFGHIJ      ", 1},
      {"data ending inside the product id", ProgramKind::Four, {InquiryReply(InquiryData("ABCD", 20))}, kCodeDone,
       "ABCD            ", 1},
      {"control bytes", ProgramKind::Four, {InquiryReply(InquiryData("MX-R4410\x01\xFF"))}, kCodeDone,
       "MX-R4410        ", 1},
      {"not ready", ProgramKind::Four, {NotReady()}, kCodeError, std::string(16, ' '), 1},
      {"busy target", ProgramKind::Four, {Refusal(kCodeTargetBusy)}, kCodeTargetBusy, std::string(16, ' '), 1},
      {"two unit attentions", ProgramKind::Four,
       {UnitAttention(), UnitAttention(), InquiryReply(InquiryData("ABCDEFGHIJKLMNOP"))}, kCodeDone,
       "ABCDEFGHIJKLMNOP", 3},
      {"unit attention, then a refusal", ProgramKind::Four, {UnitAttention(), Refusal(kCodeError), Good()},
       kCodeError, std::string(16, ' '), 2},
      {"unit attention for ever", ProgramKind::Four,
       std::vector<Reply>(kMaxUnitAttentionRepeats + 5, UnitAttention()), kCodeError, std::string(16, ' '),
       kMaxUnitAttentionRepeats + 1},
      {"NT: unit attention", ProgramKind::NT, {UnitAttention(), InquiryReply(InquiryData("XY"))}, kCodeDone,
       "XY              ", 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Bench bench(c.kind);
    bench.transport.replies.assign(c.replies.begin(), c.replies.end());
    std::string productId = "stale";
    EXPECT_EQ(bench.drive.InquireProductId(productId), c.code);
    EXPECT_EQ(productId, c.productId);
    ASSERT_EQ(bench.transport.sent.size(), c.sends);
    for (const auto& sent : bench.transport.sent) {
      EXPECT_EQ(sent.timeout, kProductIdTimeout);
      EXPECT_EQ(sent.dataLength, 256u);
      EXPECT_NE(sent.data, nullptr);
    }
    // The call's own buffer is gone once it returns.
    EXPECT_FALSE(bench.drive.UsesBuffer(bench.transport.sent[0].data));
  }
}

}  // namespace
}  // namespace morv
