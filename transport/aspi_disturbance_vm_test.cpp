// Runs inside the qemu-scsi guest with aspi_vm_test: the Linux ASPI manager and
// AspiTransport while the world around a command changes. scsi_debug logs every
// CDB it receives to the kernel log (opts=1), which says what reached the drive.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/linux/aspi_linux_manager.h"
#include "platform/signal_hold.h"
#include "transport/aspi_transport.h"
#include "framework/testing/recording_feedback.h"
#include "scsi/scsi_drive.h"

namespace morv {
namespace {

constexpr char kScsiDebugParameters[] = "/sys/bus/pseudo/drivers/scsi_debug/";

/// A scsi_debug parameter set for the life of this object.
class ScsiDebugSetting {
 public:
  ScsiDebugSetting(std::string name, const std::string& value, std::string restore)
      : m_name(std::move(name)), m_restore(std::move(restore)) {
    Write(m_name, value);
  }
  ~ScsiDebugSetting() { Write(m_name, m_restore); }

 private:
  static void Write(const std::string& name, const std::string& value) {
    std::ofstream(kScsiDebugParameters + name) << value << '\n';
  }
  std::string m_name, m_restore;
};

/// The kernel log from the moment this object was made.
class KernelLog {
 public:
  KernelLog() : m_fd(open("/dev/kmsg", O_RDONLY | O_NONBLOCK | O_CLOEXEC)) { lseek(m_fd, 0, SEEK_END); }
  ~KernelLog() { close(m_fd); }
  /// Records written since the last call.
  std::string Read() {
    std::string text;
    char record[8192];
    for (;;) {
      const ssize_t n = read(m_fd, record, sizeof record);
      if (n < 0 && errno == EPIPE) continue;  // overwritten before read: go on with the next
      if (n <= 0) return text;
      text.append(record, static_cast<size_t>(n));
    }
  }

 private:
  int m_fd;
};

int Occurrences(const std::string& text, const std::string& what) {
  int count = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
  return count;
}

/// H:C:T:L of the first scsi_debug device in the guest's device list.
std::string ScsiDebugAddress() {
  std::ifstream file("/run/qsh/devices");
  for (std::string line; std::getline(file, line);) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (fields.size() == 7 && fields[6] == "scsi_debug") return fields[1];
  }
  return {};
}

/// The ASPI adapter number of the SCSI host named `driver` (adapters are the hosts in order).
int AdapterOf(AspiTransport& transport, const std::string& driver) {
  if (transport.AspiSupportInfo() != SS_COMP) return -1;
  for (int a = 0; a < transport.HostAdapterCount(); ++a) {
    HostAdapterIdentity identity;
    if (transport.InquireHostAdapter(static_cast<uint8_t>(a), identity) == SS_COMP && identity.identifier == driver)
      return a;
  }
  return -1;
}

size_t OpenDescriptors() {
  size_t count = 0;
  for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) ++count;
  return count;
}

/// The WRITE BUFFER (mode 2, "data": scsi_debug takes it without a unit attention)
/// of piece `k`, 16 KiB at offset k * 16 KiB, as scsi_debug logs it.
std::string PieceCdbText(int k) {
  const unsigned offset = static_cast<unsigned>(k) * 16384;
  char text[64];
  std::snprintf(text, sizeof text, "cmd 3b 02 00 %02x %02x %02x 00 40 00 00", (offset >> 16) & 0xFF,
                (offset >> 8) & 0xFF, offset & 0xFF);
  return text;
}

constexpr int kPieces = 24;

/// The child's side: handlers like a terminal toolkit's (resize without
/// SA_RESTART, stop with it, child ends without), the hold of an update on SIGTERM,
/// then WRITE BUFFERs and READ CAPACITYs (data-in; both delayed by scsi_debug) to
/// scsi_debug, one line per command on `out`.
/// Once the hold ends, the SIGTERM that arrived during it ends the process.
void SendUnderDisturbance(int out, uint8_t adapter) {
  struct sigaction plain = {};
  plain.sa_handler = [](int) {};
  sigemptyset(&plain.sa_mask);
  sigaction(SIGWINCH, &plain, nullptr);
  sigaction(SIGCHLD, &plain, nullptr);
  struct sigaction restarting = plain;
  restarting.sa_flags = SA_RESTART;
  sigaction(SIGTSTP, &restarting, nullptr);

  TerminationSignalHold hold;
  std::string results;
  {
    linux_aspi::LinuxAspiManager manager;
    RecordingFeedback feedback;
    AspiTransport transport(manager, feedback);
    CScsiDrive drive(transport);
    drive.SetAddress(DriveAddress::Target(adapter, 0, 0));
    [[maybe_unused]] ssize_t ignored = write(out, "holding\n", 8);
    std::vector<uint8_t> piece(16384);
    for (int k = 0; k < kPieces; ++k) {
      std::fill(piece.begin(), piece.end(), static_cast<uint8_t>(k));
      drive.SetBuffer(piece.data(), 16384);
      results += "W " + std::to_string(drive.WriteBuffer(2, 0, static_cast<uint32_t>(k) * 16384, 16384)) + "\n";
      const uint8_t readCapacity[10] = {0x25};
      uint8_t capacity[8] = {};
      drive.SetBuffer(capacity, sizeof capacity);
      const uint8_t code = drive.ExecRequest(readCapacity, sizeof readCapacity, kCommandTimeout);
      char line[32];
      std::snprintf(line, sizeof line, "R %u %02x%02x%02x%02x\n", unsigned{code}, capacity[0], capacity[1], capacity[2],
                    capacity[3]);
      results += line;
    }
  }
  [[maybe_unused]] ssize_t ignored = write(out, results.data(), results.size());
  close(out);
}

TEST(AspiDisturbanceVm, EachCommandReachesTheDriveOnceWhateverSignalArrives) {
  ASSERT_FALSE(ScsiDebugAddress().empty()) << "this test runs inside the qemu-scsi guest";
  int adapter;
  {
    linux_aspi::LinuxAspiManager manager;
    RecordingFeedback feedback;
    AspiTransport transport(manager, feedback);
    adapter = AdapterOf(transport, "scsi_debug");
  }
  ASSERT_GE(adapter, 0);
  ScsiDebugSetting slow("ndelay", "20000000", "0");  // 20 ms a command
  ScsiDebugSetting logged("opts", "1", "0");
  KernelLog log;

  int channel[2];
  ASSERT_EQ(pipe(channel), 0);
  const pid_t child = fork();
  if (child == 0) {
    close(channel[0]);
    SendUnderDisturbance(channel[1], static_cast<uint8_t>(adapter));
    _exit(0);
  }
  close(channel[1]);
  FILE* results = fdopen(channel[0], "r");
  char line[64] = "";
  ASSERT_NE(fgets(line, sizeof line, results), nullptr);
  ASSERT_STREQ(line, "holding\n");

  // Stop and continue, resize, terminal stop, child ended, and one SIGTERM, over
  // and over until the child's results arrive.
  int rounds = 0;
  for (pollfd ready{channel[0], POLLIN, 0}; poll(&ready, 1, 0) == 0; ++rounds) {
    kill(child, SIGSTOP);
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    kill(child, SIGCONT);
    for (int signal : {SIGWINCH, SIGTSTP, SIGCHLD}) kill(child, signal);
    if (rounds == 3) kill(child, SIGTERM);
    std::this_thread::sleep_for(std::chrono::milliseconds(7));
  }
  std::vector<std::string> lines;
  while (fgets(line, sizeof line, results) != nullptr) lines.emplace_back(line);
  fclose(results);
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "the held SIGTERM took effect after the work";
  EXPECT_GT(rounds, 10) << "the commands ran while the signals came";

  ASSERT_EQ(lines.size(), 2u * kPieces);
  for (int k = 0; k < kPieces; ++k) {
    EXPECT_EQ(lines[2 * k], "W 1\n") << "piece " << k;
    EXPECT_EQ(lines[2 * k + 1], "R 1 00001fff\n") << "read capacity " << k;
  }
  const std::string received = log.Read();
  for (int k = 0; k < kPieces; ++k) EXPECT_EQ(Occurrences(received, PieceCdbText(k)), 1) << PieceCdbText(k);
  EXPECT_EQ(Occurrences(received, "cmd 3b "), kPieces);
  EXPECT_EQ(Occurrences(received, "cmd 25 00 00 00 00 00 00 00 00 00"), kPieces);
}

/// What a scan of every adapter's targets 0 to 7 finds: "adapter:target" -> product ID.
std::map<std::string, std::string> Scan(CScsiDrive& drive, AspiTransport& transport) {
  std::map<std::string, std::string> found;
  for (int a = 0; a < transport.HostAdapterCount(); ++a) {
    HostAdapterIdentity identity;
    if (transport.InquireHostAdapter(static_cast<uint8_t>(a), identity) != SS_COMP) continue;
    for (uint8_t t = 0; t < 8; ++t) {
      if (t == identity.scsiId) continue;
      drive.SetAddress(DriveAddress::Target(static_cast<uint8_t>(a), t, 0));
      std::string productId;
      if (drive.InquireProductId(productId) == kCodeDone)
        found[std::to_string(a) + ":" + std::to_string(t)] = productId;
    }
  }
  return found;
}

/// Waits (at most ten seconds) until `done` holds; whether it does.
template <typename Condition>
bool Eventually(Condition done) {
  for (int i = 0; i < 1000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  return done();
}

/// Deletes the SCSI device at `address` (as hot-unplugging it would); returns once
/// the kernel has removed it, which waits for the commands it still runs.
void DeleteDevice(const std::string& address) {
  std::ofstream("/sys/class/scsi_device/" + address + "/device/delete") << "1\n";
}

/// Scans `host` for devices again and waits for the sg node of `address` to appear.
bool Rescan(const std::string& host, const std::string& address) {
  std::ofstream("/sys/class/scsi_host/host" + host + "/scan") << "- - -\n";
  return Eventually([&] {
    for (const auto& node : std::filesystem::directory_iterator("/sys/class/scsi_generic"))
      if (std::filesystem::read_symlink(node.path() / "device").filename() == address)
        return std::filesystem::exists("/dev" / node.path().filename());
    return false;
  });
}

TEST(AspiDisturbanceVm, VanishingNodesAreLetGoAndTheirCommandsEndAsTheKernelSays) {
  const std::string address = ScsiDebugAddress();
  ASSERT_FALSE(address.empty()) << "this test runs inside the qemu-scsi guest";
  const std::string host = address.substr(0, address.find(':'));

  linux_aspi::LinuxAspiManager manager;
  RecordingFeedback feedback;
  AspiTransport transport(manager, feedback);
  CScsiDrive drive(transport);
  const int adapter = AdapterOf(transport, "scsi_debug");
  ASSERT_GE(adapter, 0);
  const std::string scsiDebug = std::to_string(adapter) + ":0";
  const size_t baseline = OpenDescriptors();
  const auto nodesOpen = [&] { return OpenDescriptors() - baseline; };

  const auto all = Scan(drive, transport);
  ASSERT_EQ(all.count(scsiDebug), 1u);
  auto withoutScsiDebug = all;
  withoutScsiDebug.erase(scsiDebug);
  EXPECT_EQ(nodesOpen(), all.size()) << "one descriptor per node that answered";

  // The node goes while a command is with the drive: the kernel finishes that
  // command before the device is gone, and the drive's answer is what we report.
  {
    ScsiDebugSetting slow("delay", "100", "1");
    std::thread deleter;
    feedback.onPump = [&] {
      if (!deleter.joinable()) deleter = std::thread(DeleteDevice, address);
    };
    drive.SetAddress(DriveAddress::Target(static_cast<uint8_t>(adapter), 0, 0));
    drive.SetCommandName("TestUnitReady");
    EXPECT_EQ(drive.TestUnitReady(), kCodeDone) << drive.GetErrorText();
    feedback.onPump = nullptr;
    ASSERT_TRUE(deleter.joinable());
    deleter.join();
  }
  EXPECT_TRUE(Eventually([&] { return nodesOpen() == all.size() - 1; }))
      << "the vanished node is closed once its command is answered; open: " << nodesOpen();
  EXPECT_EQ(Scan(drive, transport), withoutScsiDebug);

  ASSERT_TRUE(Rescan(host, address));
  EXPECT_EQ(Scan(drive, transport), all) << "the rescanned device is found again";
  EXPECT_EQ(nodesOpen(), all.size());

  // The node goes, idle, in the middle of a scan (while the other adapter is probed).
  feedback.onPump = [&] {
    if (drive.Address().hostAdapter != adapter && drive.Address().targetId == 5 && std::filesystem::exists("/sys/class/scsi_device/" + address))
      DeleteDevice(address);
  };
  EXPECT_EQ(Scan(drive, transport), withoutScsiDebug) << "the list shows what is there";
  feedback.onPump = nullptr;
  EXPECT_TRUE(Eventually([&] { return nodesOpen() == all.size() - 1; })) << "open: " << nodesOpen();

  ASSERT_TRUE(Rescan(host, address));
  EXPECT_EQ(Scan(drive, transport), all);
  EXPECT_EQ(nodesOpen(), all.size());
}

}  // namespace
}  // namespace morv
