// The device whose answers come from a script: how each part of an answer is read,
// what reaches the initiator's buffer, and the sound drive's answers around it.
#include "sim/answer_script_device.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/device_test_support.h"

namespace morv::sim {
namespace {

using testing::Text;
using Bytes = std::vector<uint8_t>;

const Bytes kInquiry = {0x12, 0x00, 0x00, 0x00, 0xFF, 0x00};
const Bytes kTestUnitReady = {0x00, 0x00, 0x00, 0x00, 0x00, 0x00};

/// INQUIRY into a 256-byte buffer of EEh with a transfer length of 255.
struct InquiryAnswer {
  DeviceResult result;
  Bytes buffer = Bytes(256, 0xEE);
};
InquiryAnswer Inquire(AnswerScriptDevice& device) {
  InquiryAnswer answer;
  answer.result = device.Execute({kInquiry, answer.buffer.data(), 255, DataDirection::In});
  return answer;
}

TEST(AnswerScriptDevice, WithoutAScriptItAnswersAsASoundDrive) {
  AnswerScriptDevice device({});
  const DeviceResult ready = device.Execute({kTestUnitReady});
  EXPECT_EQ(ready.status, kStatusGood);
  EXPECT_TRUE(ready.sense.empty());
  const InquiryAnswer inquiry = Inquire(device);
  EXPECT_EQ(inquiry.result.status, kStatusGood);
  EXPECT_EQ(inquiry.buffer[0], 0x05);
  EXPECT_EQ(Text(inquiry.buffer, 8, 28), "KESTREL MX-R4410        1.00");
  EXPECT_EQ(inquiry.buffer[kInquiryLength], 0xEE);
  ASSERT_EQ(device.Record().size(), 2u);
  EXPECT_EQ(device.Record()[1].data.size(), kInquiryLength);
}

TEST(AnswerScriptDevice, StatusAndSenseFromTheScript) {
  struct Case {
    const char* name;
    Bytes script;
    uint8_t status;
    Bytes sense;
  } cases[] = {
      {"the sound drive's answer", {0x00}, 0x00, {}},
      {"check condition without sense", {0x02}, 0x02, {}},
      {"busy", {0x03}, 0x08, {}},
      {"condition met", {0x06}, 0x04, {}},
      {"a status byte of its own", {0x07, 0x40}, 0x40, {}},
      {"good status with sense", {0x09, 0x00, 0x06, 0x29, 0x00, 10, 18, 0}, 0x00, FixedSense(0x06, 0x29, 0x00)},
      {"fixed sense, 18 bytes",
       {0x0A, 0x00, 0x05, 0x24, 0x90, 10, 18, 0},
       0x02,
       {0x70, 0, 0x05, 0, 0, 0, 0, 10, 0, 0, 0, 0, 0x24, 0x90, 0, 0, 0, 0}},
      {"fixed sense with vendor bytes, stated length beyond it",
       {0x0A, 0x02, 0x86, 0x28, 0x01, 200, 20, 6, 1, 2, 3, 4, 5, 6},
       0x02,
       {0x71, 0, 0x86, 0, 0, 0, 0, 200, 0, 0, 0, 0, 0x28, 0x01, 1, 2, 3, 4, 5, 6}},
      {"fixed sense cut to 3 bytes", {0x0A, 0x00, 0x06, 0x29, 0x00, 10, 3, 0}, 0x02, {0x70, 0, 0x06}},
      {"descriptor sense with a descriptor",
       {0x0A, 0x01, 0x06, 0x29, 0x00, 4, 12, 4, 0x80, 2, 0xAA, 0xBB},
       0x02,
       {0x72, 0x06, 0x29, 0x00, 0, 0, 0, 4, 0x80, 2, 0xAA, 0xBB}},
      {"deferred descriptor sense, no bytes", {0x0A, 0x03, 0x06, 0x29, 0x00, 0, 0, 0}, 0x02, {}},
      {"the script ends inside the sense", {0x0A, 0x01, 0x02}, 0x02, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AnswerScriptDevice device(c.script);
    const DeviceResult result = device.Execute({kTestUnitReady});
    EXPECT_EQ(result.status, c.status);
    EXPECT_EQ(result.sense, c.sense);
    EXPECT_EQ(device.Record().back().status, c.status);
    EXPECT_EQ(device.Record().back().sense, c.sense);
    EXPECT_EQ(device.ScriptLeft(), 0u);
  }
}

TEST(AnswerScriptDevice, DataInIsReplacedOrCutAndNeverPassesTheBuffer) {
  struct Case {
    const char* name;
    Bytes script;
    size_t moved;
    Bytes first;  // the first bytes of the buffer afterwards
  } cases[] = {
      {"the sound drive's data", {0x00}, kInquiryLength, {0x05, 0x80}},
      {"three bytes of its own", {0x10, 3, 0x7F, 0x00, 0x1B}, 3, {0x7F, 0x00, 0x1B, 0xEE}},
      {"no bytes at all", {0x10, 0}, 0, {0xEE}},
      {"the sound drive's data cut short", {0x20, 10}, 10, {0x05, 0x80}},
      {"its own data cut short", {0x30, 3, 1, 2, 3, 2}, 2, {1, 2, 0xEE}},
      {"a cut longer than the data changes nothing", {0x30, 1, 9, 200}, 1, {9, 0xEE}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    AnswerScriptDevice device(c.script);
    const InquiryAnswer answer = Inquire(device);
    EXPECT_EQ(device.Record().back().data.size(), c.moved);
    EXPECT_EQ(Bytes(answer.buffer.begin(), answer.buffer.begin() + c.first.size()), c.first);
    EXPECT_EQ(answer.buffer[c.moved], 0xEE);
  }

  // 255 bytes of its own into a buffer of 8.
  Bytes script{0x10, 255};
  script.resize(2 + 255, 0x41);
  AnswerScriptDevice device(script);
  Bytes buffer(16, 0xEE);
  device.Execute({kInquiry, buffer.data(), 8, DataDirection::In});
  EXPECT_EQ(Text(buffer, 0, 9), "AAAAAAAA\xEE");
}

TEST(AnswerScriptDevice, DataOutReachesTheDriveAndTheRecordShowsWhatItTook) {
  Bytes data(16, 0x5A);
  const Bytes writeBuffer = testing::WriteBufferCdb(4, 0, 0, 16);
  AnswerScriptDevice device(Bytes{0x02, 0x20, 5});  // refused, then taken in part
  EXPECT_EQ(device.Execute({writeBuffer, data.data(), 16, DataDirection::Out}).status, kStatusCheckCondition);
  EXPECT_EQ(device.Execute({writeBuffer, data.data(), 16, DataDirection::Out}).status, kStatusGood);
  EXPECT_EQ(device.Record()[0].data, data);
  EXPECT_EQ(device.Record()[1].data, Bytes(5, 0x5A));
  EXPECT_EQ(device.Record()[1].dataLength, 16u);
}

}  // namespace
}  // namespace morv::sim
