// Aligned data buffers, against a stand-in system that checks the buffer it is
// handed and answers data-in requests into it.
#include "platform/aligned_record.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace morv {
namespace {

TEST(CarryAligned, TheSystemGetsABufferThatMeetsTheMaskAndTheCallerGetsTheData) {
  struct Case {
    const char* name;
    uint32_t mask;
    size_t offset;  // of the caller's buffer from a 16-byte boundary
    uint32_t length;
    uint8_t operationCode;
    bool copied;  // the system gets a buffer of its own
  } cases[] = {
      {"no mask", 0, 1, 16, 0x12, false},
      {"aligned already", 3, 4, 16, 0x12, false},
      {"data-in, misaligned", 3, 1, 16, 0x12, true},
      {"data-out, misaligned", 7, 2, 16, 0x3B, true},
      {"page-aligned adapter", 0xFFF, 8, 36, 0x12, true},
      {"no data", 3, 1, 0, 0x00, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    alignas(16) uint8_t memory[64];
    for (size_t i = 0; i < sizeof memory; ++i) memory[i] = static_cast<uint8_t>(i);
    uint8_t* callers = memory + c.offset;
    const std::vector<uint8_t> before(callers, callers + c.length);
    PassThroughRecord record;
    record.spt.CdbLength = 6;
    record.spt.Cdb[0] = c.operationCode;
    record.spt.DataIn = kDataUnspecified;
    record.spt.DataBuffer = callers;
    record.spt.DataTransferLength = c.length;

    std::vector<uint8_t> handed;
    void* seen = nullptr;
    const bool dataIn = c.operationCode == 0x12;
    EXPECT_TRUE(CarryAligned(record, c.mask, [&](PassThroughRecord& r) {
      seen = r.spt.DataBuffer;
      auto* data = static_cast<uint8_t*>(seen);
      handed.assign(data, data + r.spt.DataTransferLength);
      if (dataIn) std::memset(data, 0xA5, r.spt.DataTransferLength);
      return true;
    }));
    EXPECT_TRUE(c.length == 0 || (reinterpret_cast<uintptr_t>(seen) & c.mask) == 0);
    EXPECT_EQ(seen != callers, c.copied);
    EXPECT_EQ(handed, before) << "the caller's data reach the system";
    EXPECT_EQ(record.spt.DataBuffer, callers) << "the record names the caller's buffer again";
    const std::vector<uint8_t> after(callers, callers + c.length);
    EXPECT_EQ(after, dataIn ? std::vector<uint8_t>(c.length, 0xA5) : before);
    EXPECT_EQ(memory[c.offset + c.length], static_cast<uint8_t>(c.offset + c.length)) << "nothing beyond the buffer";
  }
}

}  // namespace
}  // namespace morv
