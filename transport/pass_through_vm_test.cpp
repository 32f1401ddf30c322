// Runs inside the qemu-scsi guest (tools/qemu-scsi/run-vm.sh) and drives the
// kernel's real SCSI targets through the Linux sg backend and PassThroughTransport:
// the qemu LSI adapter's disk, empty CD-ROM and a look-alike of our drive that
// refuses WRITE BUFFER, and scsi_debug posing as the MX-R4410.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/sg_pass_through_system.h"
#include "platform/testing/recording_pass_through_system.h"
#include "transport/pass_through_transport.h"
#include "framework/testing/recording_feedback.h"

namespace morv {
namespace {

// One line of the guest's /run/qsh/devices.
struct GuestDevice {
  int sg = -1;
  std::string hctl;
  int type = -1;
  std::string vendor, product, revision, hostDriver;
};

std::vector<GuestDevice> ReadGuestDevices() {
  std::vector<GuestDevice> devices;
  std::ifstream file("/run/qsh/devices");
  for (std::string line; std::getline(file, line);) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (fields.size() != 7 || fields[0].rfind("/dev/sg", 0) != 0) continue;
    devices.push_back({std::stoi(fields[0].substr(7)), fields[1], std::stoi(fields[2]), fields[3], fields[4],
                       fields[5], fields[6]});
  }
  return devices;
}

// An INQUIRY text field as the kernel shows it: up to a zero byte, without trailing blanks.
std::string Trimmed(const uint8_t* bytes, size_t length) {
  std::string text(reinterpret_cast<const char*>(bytes), length);
  text.erase(std::min(text.find('\0'), text.size()));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

class PassThroughVm : public ::testing::Test {
 protected:
  void SetUp() override {
    devices = ReadGuestDevices();
    ASSERT_FALSE(devices.empty()) << "no /run/qsh/devices: this test runs inside the qemu-scsi guest";
  }
  // Addresses the drive object to drive letter `letter` through the scan slot.
  void Select(char letter) {
    transport.DriveNames[PassThroughTransport::kScanSlot] = std::string(1, letter) + ":";
    transport.MaxTransfer[PassThroughTransport::kScanSlot] = 65536;
    drive.m_deviceIndex = PassThroughTransport::kScanSlot;
  }
  const GuestDevice* Find(const std::string& vendor, bool scsiDebug) const {
    for (const GuestDevice& device : devices)
      if (device.vendor == vendor && (device.hostDriver == "scsi_debug") == scsiDebug && device.sg < 26)
        return &device;
    return nullptr;
  }

  std::vector<GuestDevice> devices;
  sg::SgPassThroughSystem sgSystem;
  RecordingPassThroughSystem system{sgSystem};
  PassThroughTransport transport{system};
  RecordingFeedback feedback;
  CScsiDrive drive{transport};
};

TEST_F(PassThroughVm, InquiryOnEveryLetterMatchesTheGuestsDeviceList) {
  for (const GuestDevice& device : devices) {
    if (device.sg >= 26) continue;
    const char letter = static_cast<char>('A' + device.sg);
    Select(letter);
    std::vector<uint8_t> data(256, 0);
    drive.SetBuffer(data.data(), 255);
    ASSERT_EQ(drive.Inquiry(255), kCodeDone) << letter << ": " << drive.GetErrorText();
    EXPECT_EQ(data[0] & 0x1F, device.type) << letter;
    EXPECT_EQ(Trimmed(&data[8], 8), device.vendor) << letter;
    EXPECT_EQ(Trimmed(&data[16], 16), device.product) << letter;
    EXPECT_EQ(Trimmed(&data[32], 4), device.revision) << letter;
    EXPECT_GE(transport.QueryMaxTransfer(drive), 16384u) << letter << ": " << drive.GetErrorText();
  }
}

TEST_F(PassThroughVm, LookAlikeRefusesWriteBufferWithCheckCondition) {
  const GuestDevice* lookAlike = Find("KESTREL", false);
  ASSERT_NE(lookAlike, nullptr);
  Select(static_cast<char>('A' + lookAlike->sg));
  std::vector<uint8_t> piece(16384, 0x5A);
  drive.SetBuffer(piece.data(), 16384);
  EXPECT_EQ(drive.WriteBuffer(4, 0, 0, 16384), kCodeError);
  EXPECT_EQ(drive.m_targetStatus, 0x02);
  EXPECT_EQ(drive.SenseKey(), 0x05);
  EXPECT_EQ(drive.Asc(), 0x20);
  EXPECT_EQ(drive.GetErrorText(), " 20-00 (00)") << "composed from the sense, no command name set";
}

TEST_F(PassThroughVm, WriteBufferToScsiDebugCompletesThroughTheUnitAttentionRepeat) {
  const GuestDevice* target = Find("KESTREL", true);
  ASSERT_NE(target, nullptr);
  Select(static_cast<char>('A' + target->sg));
  std::vector<uint8_t> piece(16384, 0x5A);
  // Each download raises unit attentions that the next command meets.
  for (uint8_t bufferId : {0, 1}) {
    drive.SetBuffer(piece.data(), 16384);
    ASSERT_EQ(drive.WriteBuffer(4, bufferId, 0, 16384), kCodeDone) << drive.GetErrorText();
  }
  int attentions = 0;
  for (const PassThroughRecord& answer : system.answers)
    if (answer.spt.ScsiStatus == 0x02 && (answer.sense[2] & 0x0F) == 0x06) ++attentions;
  EXPECT_GE(attentions, 1) << "the second download met a unit attention and was sent again";
  EXPECT_EQ(system.answers.back().spt.ScsiStatus, 0x00);
  EXPECT_EQ(system.answers.size(), 2u + attentions);
}

TEST_F(PassThroughVm, LetterWithoutANodeFailsToOpen) {
  char letter = 0;
  for (char candidate = 'Z'; candidate >= 'A' && letter == 0; --candidate)
    if (::access(("/dev/sg" + std::to_string(candidate - 'A')).c_str(), F_OK) != 0) letter = candidate;
  ASSERT_NE(letter, 0);
  Select(letter);
  EXPECT_EQ(drive.TestUnitReady(), kCodeError);
  EXPECT_EQ(drive.GetErrorText(), "Get Handle Error: " + std::to_string(ENOENT) + "\n" + std::strerror(ENOENT) + "\n");
  EXPECT_EQ(transport.QueryMaxTransfer(drive), 0u);
}

}  // namespace
}  // namespace morv
