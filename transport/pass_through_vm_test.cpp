// Runs inside the qemu-scsi guest (tools/qemu-scsi/run-vm.sh) and drives the
// kernel's real SCSI targets through the Linux sg backend and PassThroughTransport:
// the qemu LSI adapter's disk, empty CD-ROM and a look-alike of our drive that
// refuses WRITE BUFFER, and scsi_debug posing as the MX-R4410: what reaches the
// drive while the process is stopped, continued and signalled, descriptor-format
// sense, and the largest transfer with a small default reserve.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/sg_pass_through_system.h"
#include "platform/linux/testing/guest_scsi_debug.h"
#include "platform/testing/recording_pass_through_system.h"
#include "transport/pass_through_transport.h"
#include "framework/testing/recording_feedback.h"
#include "scsi/scsi_drive.h"

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
  // Addresses the drive object to drive letter `letter`, as the scan probes it.
  void Select(char letter) {
    transport.SetMaxTransfer(letter, 65536);
    drive.SetAddress(DriveAddress::Letter(letter));
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
    EXPECT_GE(transport.QueryMaxTransfer(letter), 16384u) << letter;
  }
}

TEST_F(PassThroughVm, LookAlikeRefusesWriteBufferWithCheckCondition) {
  const GuestDevice* lookAlike = Find("KESTREL", false);
  ASSERT_NE(lookAlike, nullptr);
  Select(static_cast<char>('A' + lookAlike->sg));
  std::vector<uint8_t> piece(16384, 0x5A);
  drive.SetBuffer(piece.data(), 16384);
  EXPECT_EQ(drive.WriteBuffer(4, 0, 0, 16384), kCodeError);
  EXPECT_EQ(drive.TargetStatus(), 0x02);
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

/// Installs a do-nothing handler for `signal` while it lives, with or without
/// SA_RESTART (ncurses installs SIGTSTP's with it and SIGWINCH's without).
class SignalHandler {
 public:
  SignalHandler(int signal, bool restart) : m_signal(signal) {
    struct sigaction action {};
    action.sa_handler = [](int) {};
    action.sa_flags = restart ? SA_RESTART : 0;
    sigemptyset(&action.sa_mask);
    ::sigaction(signal, &action, &m_previous);
  }
  ~SignalHandler() { ::sigaction(m_signal, &m_previous, nullptr); }

 private:
  int m_signal;
  struct sigaction m_previous {};
};

TEST_F(PassThroughVm, SignalsDuringASlowCommandNeitherRepeatNorFailIt) {
  const GuestDevice* target = Find("KESTREL", true);
  ASSERT_NE(target, nullptr);
  Select(static_cast<char>('A' + target->sg));
  guest::ScsiDebugSetting logged("opts", "1", "0");
  const struct {
    const char* what;
    std::vector<guest::SignalStep> steps;
  } cases[] = {
      {"stopped and continued", {{600, SIGSTOP}, {300, SIGCONT}}},
      {"terminal resized (handler without SA_RESTART)", {{600, SIGWINCH}}},
      {"handler with SA_RESTART", {{600, SIGUSR1}}},
      {"stopped, resized, continued, resized", {{500, SIGSTOP}, {100, SIGWINCH}, {200, SIGCONT}, {100, SIGWINCH}}},
  };
  SignalHandler resize(SIGWINCH, false);
  SignalHandler restarting(SIGUSR1, true);
  std::vector<uint8_t> piece(16384, 0x5A);
  for (const auto& c : cases) {
    // Each WRITE BUFFER leaves unit attentions that the next command meets; the
    // transport sends that command again, so the program may send more than one.
    guest::KernelCommandLog log;
    ASSERT_TRUE(log.Open());
    const size_t sentBefore = system.requests.size();
    uint8_t code;
    {
      guest::ScsiDebugSetting slow("delay", "500", "1");  // 2 s per command
      guest::Disturber disturber(c.steps);
      drive.SetBuffer(piece.data(), 16384);
      code = drive.WriteBuffer(5, 31, 0, 16384);
    }
    EXPECT_EQ(code, kCodeDone) << c.what << ": " << drive.GetErrorText();
    const int sent = static_cast<int>(system.requests.size() - sentBefore);
    EXPECT_EQ(log.Count("3B"), sent) << c.what << ": WRITE BUFFERs the drive received, the program sent " << sent;
  }
}

TEST_F(PassThroughVm, DescriptorFormatSenseReadsAsFixedFormatAndTheUnitAttentionIsRepeated) {
  const GuestDevice* target = Find("KESTREL", true);
  ASSERT_NE(target, nullptr);
  Select(static_cast<char>('A' + target->sg));
  guest::ScsiDebugSetting descriptorSense("dsense", "1", "0");
  std::vector<uint8_t> piece(16384, 0x5A);
  drive.SetBuffer(piece.data(), 16384);
  ASSERT_EQ(drive.WriteBuffer(4, 0, 0, 16384), kCodeDone) << drive.GetErrorText();
  // Mode 4 leaves two unit attentions behind: bus reset (29/02), then microcode changed (3F/01).
  const size_t before = system.answers.size();
  EXPECT_EQ(drive.TestUnitReady(), kCodeDone) << drive.GetErrorText();
  ASSERT_EQ(system.answers.size() - before, 3u) << "two unit attentions, then good";
  const uint8_t expected[][3] = {{0x06, 0x29, 0x02}, {0x06, 0x3F, 0x01}};
  for (size_t i = 0; i < 2; ++i) {
    const PassThroughRecord& answer = system.answers[before + i];
    EXPECT_EQ(answer.spt.ScsiStatus, 0x02);
    EXPECT_EQ(answer.sense[0], 0x70) << "fixed format";
    EXPECT_EQ(answer.sense[2] & 0x0F, expected[i][0]);
    EXPECT_EQ(answer.sense[12], expected[i][1]);
    EXPECT_EQ(answer.sense[13], expected[i][2]);
  }
}

TEST_F(PassThroughVm, LargestTransferIsWhatTheDriverGrantsNotTheSiteDefault) {
  const GuestDevice* target = Find("KESTREL", true);
  ASSERT_NE(target, nullptr);
  Select(static_cast<char>('A' + target->sg));
  const char kDefault[] = "/sys/module/sg/parameters/def_reserved_size";
  std::string previous;
  std::getline(std::ifstream(kDefault), previous);
  std::ofstream(kDefault) << "8192\n";
  const uint32_t largest = transport.QueryMaxTransfer(drive.Address().letter);
  transport.SetMaxTransfer(drive.Address().letter, largest);
  std::vector<uint8_t> piece(16384, 0x5A);
  drive.SetBuffer(piece.data(), 16384);
  const uint8_t code = drive.WriteBuffer(4, 1, 0, 16384);
  std::ofstream(kDefault) << previous << "\n";
  EXPECT_EQ(largest, 131072u) << drive.GetErrorText();
  EXPECT_EQ(code, kCodeDone) << "a 16 KiB piece past an 8 KiB default reserve: " << drive.GetErrorText();
}

TEST_F(PassThroughVm, LetterWithoutANodeFailsToOpen) {
  char letter = 0;
  for (char candidate = 'Z'; candidate >= 'A' && letter == 0; --candidate)
    if (::access(("/dev/sg" + std::to_string(candidate - 'A')).c_str(), F_OK) != 0) letter = candidate;
  ASSERT_NE(letter, 0);
  Select(letter);
  EXPECT_EQ(drive.TestUnitReady(), kCodeError);
  EXPECT_EQ(drive.GetErrorText(), "Get Handle Error: " + std::to_string(ENOENT) + "\n" + std::strerror(ENOENT) + "\n");
  EXPECT_EQ(transport.QueryMaxTransfer(letter), 0u);
}

}  // namespace
}  // namespace morv
