// Runs inside the qemu-scsi guest (tools/transport-benchmark.sh): what one WRITE
// BUFFER of 16 KiB costs through each of our transports, against sg_write_buffer
// (sg3_utils) on the same scsi_debug target. All three send the same 32 pieces of
// a 512 KiB image, with a WRITE BUFFER mode the target takes without side effects.
//
// sg_write_buffer runs as a process; its per-command time is the difference
// between a run over the 32 pieces sixteen times (512 commands) and a run of one
// piece, divided by 511, so that process start and open drop out (and the time of
// the commands outweighs the jitter of starting a process). Our transports are timed in-process over 32
// commands. The three take turns in every round (so a busy host slows all of them
// alike), and each figure is the median of its rounds. A first round, with
// scsi_debug logging every CDB it receives, checks that each of them sent the 32
// WRITE BUFFERs and nothing more.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
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
#include "ui/testing/recording_feedback.h"

namespace morv {
namespace {

constexpr int kPieces = 32;
constexpr uint32_t kPieceLength = 16384;
constexpr uint8_t kDataMode = 2;  // WRITE BUFFER "data": scsi_debug takes it and raises no unit attention
constexpr int kRounds = 21;
constexpr int kReferenceRepeats = 16;  // sg_write_buffer sends the 32 pieces this often per run

using Clock = std::chrono::steady_clock;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct Target {
  int sg = -1;           // /dev/sgN of the scsi_debug device
  std::string hostName;  // its host's driver name
};

/// The first scsi_debug device of the guest's device list.
Target FindScsiDebug() {
  std::ifstream file("/run/qsh/devices");
  for (std::string line; std::getline(file, line);) {
    std::vector<std::string> fields;
    std::stringstream stream(line);
    for (std::string field; std::getline(stream, field, '\t');) fields.push_back(field);
    if (fields.size() == 7 && fields[6] == "scsi_debug" && fields[0].rfind("/dev/sg", 0) == 0)
      return {std::stoi(fields[0].substr(7)), fields[6]};
  }
  return {};
}

bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream file(path, std::ios::binary);
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(file);
}

/// Wall time of one sg_write_buffer run over `image`; negative when it failed.
double TimeReference(const std::string& node, const std::string& image) {
  const std::string in = "--in=" + image;
  const std::string mode = "--mode=" + std::to_string(kDataMode);
  const std::string bpw = "--bpw=" + std::to_string(kPieceLength);
  const auto start = Clock::now();
  const pid_t child = fork();
  if (child == 0) {
    execlp("sg_write_buffer", "sg_write_buffer", mode.c_str(), bpw.c_str(), in.c_str(), node.c_str(),
           static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  waitpid(child, &status, 0);
  const double elapsed = Seconds(Clock::now() - start);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? elapsed : -1;
}

/// Sends the 32 pieces through `drive`; the time per command, negative on failure.
double TimeDownload(CScsiDrive& drive, std::vector<uint8_t>& image, const char* name) {
  const auto start = Clock::now();
  for (int piece = 0; piece < kPieces; ++piece) {
    drive.SetBuffer(image.data() + piece * kPieceLength, kPieceLength);
    if (drive.WriteBuffer(kDataMode, 0, piece * kPieceLength, kPieceLength) != kCodeDone) {
      std::fprintf(stderr, "%s: piece %d failed: %s\n", name, piece, drive.GetErrorText().c_str());
      return -1;
    }
  }
  return Seconds(Clock::now() - start) / kPieces;
}

void WriteScsiDebug(const char* parameter, const char* value) {
  std::ofstream(std::string("/sys/bus/pseudo/drivers/scsi_debug/") + parameter) << value << '\n';
}

/// Kernel log records written since the last call (scsi_debug logs CDBs there).
std::string NewKernelLog(int kmsg) {
  std::string text;
  char record[8192];
  for (;;) {
    const ssize_t n = read(kmsg, record, sizeof record);
    if (n < 0 && errno == EPIPE) continue;  // records overwritten before they were read
    if (n <= 0) return text;
    text.append(record, static_cast<size_t>(n));
  }
}

/// WRITE BUFFER CDBs in `log` ("cmd 3b ...").
int WriteBuffersIn(const std::string& log) {
  int count = 0;
  for (size_t at = log.find("cmd 3b "); at != std::string::npos; at = log.find("cmd 3b ", at + 1)) ++count;
  return count;
}

int Run() {
  const Target target = FindScsiDebug();
  if (target.sg < 0 || target.sg >= 26) {
    std::fprintf(stderr, "no scsi_debug device (this program runs inside the qemu-scsi guest)\n");
    return 2;
  }
  const std::string node = "/dev/sg" + std::to_string(target.sg);
  // An instant target: scsi_debug answers inside the submitting call.
  WriteScsiDebug("delay", "0");
  std::vector<uint8_t> image(kPieces * kPieceLength);
  std::mt19937 random(4410);
  for (uint8_t& byte : image) byte = static_cast<uint8_t>(random());
  const std::vector<uint8_t> onePiece(image.begin(), image.begin() + kPieceLength);
  std::vector<uint8_t> repeated;
  for (int r = 0; r < kReferenceRepeats; ++r) repeated.insert(repeated.end(), image.begin(), image.end());
  if (!WriteFile("/tmp/image.bin", repeated) || !WriteFile("/tmp/piece.bin", onePiece)) return 2;
  const int referenceCommands = kPieces * kReferenceRepeats;

  RecordingFeedback feedback;

  sg::SgPassThroughSystem sgSystem;
  PassThroughTransport passThrough(sgSystem);
  CScsiDrive letterDrive(passThrough, feedback);
  passThrough.DriveNames[PassThroughTransport::kScanSlot] = std::string(1, static_cast<char>('A' + target.sg)) + ":";
  passThrough.MaxTransfer[PassThroughTransport::kScanSlot] = 65536;
  letterDrive.m_deviceIndex = PassThroughTransport::kScanSlot;

  linux_aspi::LinuxAspiManager manager;
  AspiTransport aspi(manager, feedback);
  CScsiDrive aspiDrive(aspi, feedback);
  if (aspi.AspiSupportInfo() != SS_COMP) return 2;
  int adapter = -1;
  for (int a = 0; a < aspi.HostAdapterCount() && adapter < 0; ++a) {
    HostAdapterIdentity identity;
    if (aspi.InquireHostAdapter(static_cast<uint8_t>(a), identity) == SS_COMP && identity.identifier == target.hostName)
      adapter = a;
  }
  if (adapter < 0) return 2;
  aspiDrive.m_hostAdapter = static_cast<uint8_t>(adapter);
  aspiDrive.m_targetId = 0;
  aspiDrive.m_lun = 0;

  const int kmsg = open("/dev/kmsg", O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (kmsg < 0) return 2;
  lseek(kmsg, 0, SEEK_END);
  std::vector<double> reference, passThroughTimes, aspiTimes;
  for (int round = 0; round <= kRounds; ++round) {
    const bool checking = round == 0;
    if (checking) WriteScsiDebug("opts", "1");
    NewKernelLog(kmsg);
    const double all = TimeReference(node, "/tmp/image.bin");
    const int referenceSent = checking ? WriteBuffersIn(NewKernelLog(kmsg)) : referenceCommands;
    const double one = TimeReference(node, "/tmp/piece.bin");
    NewKernelLog(kmsg);
    const double passThroughTime = TimeDownload(letterDrive, image, "pass-through");
    const int passThroughSent = checking ? WriteBuffersIn(NewKernelLog(kmsg)) : kPieces;
    const double aspiTime = TimeDownload(aspiDrive, image, "ASPI");
    const int aspiSent = checking ? WriteBuffersIn(NewKernelLog(kmsg)) : kPieces;
    if (checking) WriteScsiDebug("opts", "0");
    if (all < 0 || one < 0 || passThroughTime < 0 || aspiTime < 0) {
      std::fprintf(stderr, "a download failed%s\n", all < 0 || one < 0 ? " (sg_write_buffer)" : "");
      return 1;
    }
    if (referenceSent != referenceCommands || passThroughSent != kPieces || aspiSent != kPieces) {
      std::fprintf(stderr, "WRITE BUFFERs received: sg_write_buffer %d (of %d), pass-through %d, ASPI %d (of %d)\n",
                   referenceSent, referenceCommands, passThroughSent, aspiSent, kPieces);
      return 1;
    }
    if (checking) continue;
    reference.push_back((all - one) / (referenceCommands - 1));
    passThroughTimes.push_back(passThroughTime);
    aspiTimes.push_back(aspiTime);
  }
  close(kmsg);

  std::printf("per WRITE BUFFER of %u bytes to %s, %d rounds (median, and the fastest round)\n", kPieceLength,
              node.c_str(), kRounds);
  std::printf("(the target received each WRITE BUFFER once: scsi_debug's CDB log in a first round)\n");
  const double ref = Median(reference);
  const double refFastest = *std::min_element(reference.begin(), reference.end());
  std::printf("  sg_write_buffer   %8.1f us             fastest %8.1f us\n", ref * 1e6, refFastest * 1e6);
  const struct {
    const char* name;
    const std::vector<double>& times;
  } ours[] = {{"pass-through", passThroughTimes}, {"ASPI manager", aspiTimes}};
  for (const auto& transport : ours) {
    const double median = Median(transport.times);
    const double fastest = *std::min_element(transport.times.begin(), transport.times.end());
    std::printf("  %-16s  %8.1f us  ratio %.2f  fastest %8.1f us  ratio %.2f\n", transport.name, median * 1e6,
                median / ref, fastest * 1e6, fastest / refFastest);
  }
  return 0;
}

}  // namespace
}  // namespace morv

int main() { return morv::Run(); }
