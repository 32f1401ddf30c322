// Runs inside the qemu-scsi guest (tools/transport-benchmark.sh): what one WRITE
// BUFFER of 16 KiB costs through each of our transports, against sg_write_buffer
// (sg3_utils) on the same scsi_debug target, which answers at once. All three send
// the same 32 pieces of a 512 KiB image, with a WRITE BUFFER mode the target takes
// without side effects.
//
// Every sender is timed the same way, by the target: scsi_debug logs each CDB it
// receives to the kernel log (opts=1), whose records carry the kernel's timestamp.
// The time per command is the span from the first to the 32nd WRITE BUFFER of a
// run, divided by 31; so starting a process and opening a node before the first
// command do not count, and the log also shows that each piece arrived once. The
// three take turns in every round (a busy host slows all of them alike), and each
// figure is the median of its rounds.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/linux/aspi_linux_manager.h"
#include "platform/linux/sg_pass_through_system.h"
#include "transport/aspi_transport.h"
#include "transport/pass_through_transport.h"
#include "framework/testing/recording_feedback.h"
#include "scsi/scsi_drive.h"

namespace morv {
namespace {

constexpr int kPieces = 32;
constexpr uint32_t kPieceLength = 16384;
constexpr uint8_t kDataMode = 2;  // WRITE BUFFER "data": scsi_debug takes it and raises no unit attention
constexpr int kRounds = 21;

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

/// The first scsi_debug device of the guest's device list: its sg number and host driver.
bool FindScsiDebug(int& sg, std::string& hostName) {
  std::ifstream file("/run/qsh/devices");
  for (std::string line; std::getline(file, line);) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (fields.size() == 7 && fields[6] == "scsi_debug" && fields[0].rfind("/dev/sg", 0) == 0) {
      sg = std::stoi(fields[0].substr(7));
      hostName = fields[6];
      return true;
    }
  }
  return false;
}

void WriteScsiDebug(const char* parameter, const char* value) {
  std::ofstream(std::string("/sys/bus/pseudo/drivers/scsi_debug/") + parameter) << value << '\n';
}

/// The kernel's timestamps (microseconds) of the WRITE BUFFER CDBs scsi_debug
/// logged since the last call. A record reads "6,seq,micros,-;... cmd 3b 02 ...".
std::vector<long long> WriteBufferArrivals(int kmsg) {
  std::vector<long long> arrivals;
  char record[8192];
  for (;;) {
    const ssize_t n = read(kmsg, record, sizeof record - 1);
    if (n < 0 && errno == EPIPE) continue;  // records overwritten before they were read
    if (n <= 0) return arrivals;
    record[n] = '\0';
    const std::string text(record, static_cast<size_t>(n));
    const size_t message = text.find(';');
    if (message == std::string::npos || text.find("cmd 3b ", message) == std::string::npos) continue;
    const size_t first = text.find(','), second = text.find(',', first + 1);
    arrivals.push_back(std::atoll(text.c_str() + second + 1));
  }
}

/// Runs sg_write_buffer over the 32 pieces; false when it failed.
bool RunReference(const std::string& node) {
  const std::string mode = "--mode=" + std::to_string(kDataMode);
  const std::string bpw = "--bpw=" + std::to_string(kPieceLength);
  const pid_t child = fork();
  if (child == 0) {
    execlp("sg_write_buffer", "sg_write_buffer", mode.c_str(), bpw.c_str(), "--in=/tmp/image.bin", node.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

/// Sends the 32 pieces through `drive`; false when one failed.
bool RunDownload(CScsiDrive& drive, std::vector<uint8_t>& image, const char* name) {
  for (int piece = 0; piece < kPieces; ++piece) {
    drive.SetBuffer(image.data() + piece * kPieceLength, kPieceLength);
    if (drive.WriteBuffer(kDataMode, 0, piece * kPieceLength, kPieceLength) != kCodeDone) {
      std::fprintf(stderr, "%s: piece %d failed: %s\n", name, piece, drive.GetErrorText().c_str());
      return false;
    }
  }
  return true;
}

int Run() {
  int sg = -1;
  std::string hostName;
  if (!FindScsiDebug(sg, hostName) || sg >= 26) {
    std::fprintf(stderr, "no scsi_debug device (this program runs inside the qemu-scsi guest)\n");
    return 2;
  }
  const std::string node = "/dev/sg" + std::to_string(sg);
  std::vector<uint8_t> image(kPieces * kPieceLength);
  std::mt19937 random(4410);
  for (uint8_t& byte : image) byte = static_cast<uint8_t>(random());
  std::ofstream("/tmp/image.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(image.data()), static_cast<std::streamsize>(image.size()));

  RecordingFeedback feedback;
  sg::SgPassThroughSystem sgSystem;
  PassThroughTransport passThrough(sgSystem);
  CScsiDrive letterDrive(passThrough);
  const char letter = static_cast<char>('A' + sg);
  passThrough.SetMaxTransfer(letter, 65536);
  letterDrive.SetAddress(DriveAddress::Letter(letter));

  linux_aspi::LinuxAspiManager manager;
  AspiTransport aspi(manager, feedback);
  CScsiDrive aspiDrive(aspi);
  if (aspi.AspiSupportInfo() != SS_COMP) return 2;
  for (int a = 0; a < aspi.HostAdapterCount(); ++a) {
    HostAdapterIdentity identity;
    if (aspi.InquireHostAdapter(static_cast<uint8_t>(a), identity) == SS_COMP && identity.identifier == hostName)
      aspiDrive.SetAddress(DriveAddress::Target(static_cast<uint8_t>(a), 0, 0));
  }

  const int kmsg = open("/dev/kmsg", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (kmsg < 0) return 2;
  WriteScsiDebug("delay", "0");  // answers inside the submitting call
  WriteScsiDebug("opts", "1");   // logs every CDB it receives
  lseek(kmsg, 0, SEEK_END);

  struct Sender {
    const char* name;
    std::function<bool()> send;
    std::vector<double> perCommand = {};  // microseconds, one per round
  } senders[] = {
      {"sg_write_buffer", [&] { return RunReference(node); }},
      {"pass-through", [&] { return RunDownload(letterDrive, image, "pass-through"); }},
      {"ASPI manager", [&] { return RunDownload(aspiDrive, image, "ASPI manager"); }},
  };
  for (int round = 0; round < kRounds; ++round) {
    for (Sender& sender : senders) {
      WriteBufferArrivals(kmsg);
      const bool sent = sender.send();
      const std::vector<long long> arrivals = WriteBufferArrivals(kmsg);
      if (!sent || arrivals.size() != kPieces) {
        std::fprintf(stderr, "%s: %s, the target received %zu WRITE BUFFERs for %d pieces\n", sender.name,
                     sent ? "done" : "failed", arrivals.size(), kPieces);
        return 1;
      }
      sender.perCommand.push_back(static_cast<double>(arrivals.back() - arrivals.front()) / (kPieces - 1));
    }
  }
  WriteScsiDebug("opts", "0");
  close(kmsg);

  std::printf("per WRITE BUFFER of %u bytes to %s (instant scsi_debug), between the target's arrivals of the\n"
              "32 pieces, median of %d rounds; each piece arrived once in every round\n",
              kPieceLength, node.c_str(), kRounds);
  const double reference = Median(senders[0].perCommand);
  for (const Sender& sender : senders)
    std::printf("  %-16s %8.1f us  ratio %.2f\n", sender.name, Median(sender.perCommand),
                Median(sender.perCommand) / reference);
  return 0;
}

}  // namespace
}  // namespace morv

int main() { return morv::Run(); }
