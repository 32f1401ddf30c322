#include "platform/aspi_manager.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace morv {
namespace {

SRB_ExecSCSICmd Block(uint8_t opcode, uint32_t length, uint8_t flags = 0) {
  static uint8_t buffer[64];
  SRB_ExecSCSICmd srb{};
  srb.SRB_Cmd = SC_EXEC_SCSI_CMD;
  srb.SRB_Flags = flags;
  srb.SRB_BufLen = length;
  srb.SRB_BufPointer = length ? buffer : nullptr;
  srb.SRB_SenseLen = SENSE_LEN;
  srb.SRB_CDBLen = 6;
  srb.CDBByte[0] = opcode;
  return srb;
}

TEST(AspiEvent, IsAutoResetAndStartsClear) {
  auto event = AspiEvent::Create();
  EXPECT_FALSE(event->Wait(0));
  event->Set();
  event->Set();  // signals do not count up
  EXPECT_TRUE(event->Wait(0));
  EXPECT_FALSE(event->Wait(0));
  event->Set();
  event->Reset();
  EXPECT_FALSE(event->Wait(0));
}

TEST(AspiEvent, WaitReturnsWhenAnotherThreadSignals) {
  auto event = AspiEvent::Create();
  std::thread setter([event] { event->Set(); });
  EXPECT_TRUE(event->Wait(10000));
  setter.join();
}

TEST(ExecBlock, CheckRefusesMalformedBlocks) {
  struct Case {
    const char* name;
    void (*change)(SRB_ExecSCSICmd&);
    uint8_t expected;
  };
  const Case cases[] = {
      {"sound", [](SRB_ExecSCSICmd&) {}, SS_PENDING},
      {"CDB length 0", [](SRB_ExecSCSICmd& s) { s.SRB_CDBLen = 0; }, SS_INVALID_SRB},
      {"CDB length 16", [](SRB_ExecSCSICmd& s) { s.SRB_CDBLen = 16; }, SS_PENDING},
      {"CDB length 17", [](SRB_ExecSCSICmd& s) { s.SRB_CDBLen = 17; }, SS_INVALID_SRB},
      {"sense 16", [](SRB_ExecSCSICmd& s) { s.SRB_SenseLen = 16; }, SS_PENDING},
      {"sense 17", [](SRB_ExecSCSICmd& s) { s.SRB_SenseLen = 17; }, SS_INVALID_SRB},
      {"data without buffer", [](SRB_ExecSCSICmd& s) { s.SRB_BufPointer = nullptr; }, SS_INVALID_SRB},
      {"no data, no buffer",
       [](SRB_ExecSCSICmd& s) {
         s.SRB_BufLen = 0;
         s.SRB_BufPointer = nullptr;
       },
       SS_PENDING},
  };
  for (const auto& c : cases) {
    SRB_ExecSCSICmd srb = Block(0x12, 36);
    c.change(srb);
    EXPECT_EQ(CheckExecBlock(srb), c.expected) << c.name;
  }
}

TEST(ExecBlock, DirectionFromBitsOrOperationCode) {
  struct Case {
    uint8_t opcode;
    uint32_t length;
    uint8_t flags;
    DataDirection expected;
  };
  const Case cases[] = {
      {0x3B, 16, 0, DataDirection::Out},                      // WRITE BUFFER, left to the command
      {0x12, 36, 0, DataDirection::In},                       // INQUIRY
      {0x3B, 0, SRB_DIR_OUT, DataDirection::None},            // no data whatever the bits say
      {0x12, 36, SRB_DIR_OUT, DataDirection::Out},            // an explicit bit wins
      {0x3B, 16, SRB_DIR_IN | SRB_DIR_OUT, DataDirection::Out},  // both: as the command says
  };
  for (const auto& c : cases) {
    SRB_ExecSCSICmd srb = Block(c.opcode, c.length, c.flags);
    EXPECT_EQ(ExecBlockDirection(srb), c.expected) << std::hex << int(c.opcode) << " flags " << int(c.flags);
  }
}

TEST(ExecBlock, CompleteWritesResultsCutsSenseAndSignalsOnlyWhenAsked) {
  const uint8_t sense[18] = {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0x90, 0xAA, 0xBB, 0xCC, 0xDD};
  for (uint8_t flags : {uint8_t{0}, SRB_EVENT_NOTIFY}) {
    auto event = AspiEvent::Create();
    SRB_ExecSCSICmd srb = Block(0x3B, 16, flags);
    srb.SRB_PostProc = event.get();
    srb.SRB_SenseLen = 14;
    std::memset(srb.SenseArea, 0xEE, sizeof srb.SenseArea);
    CompleteExecBlock(srb, SS_ERR, 0x11, 0x02, sense, sizeof sense);
    EXPECT_EQ(LoadSrbStatus(srb.SRB_Status), SS_ERR);
    EXPECT_EQ(srb.SRB_HaStat, 0x11);
    EXPECT_EQ(srb.SRB_TargStat, 0x02);
    EXPECT_EQ(0, std::memcmp(srb.SenseArea, sense, 14));
    EXPECT_EQ(srb.SenseArea[14], 0) << "sense beyond SRB_SenseLen is cleared";
    EXPECT_EQ(srb.SenseArea[15], 0);
    EXPECT_EQ(event->Wait(0), flags == SRB_EVENT_NOTIFY);
  }
}

}  // namespace
}  // namespace morv
