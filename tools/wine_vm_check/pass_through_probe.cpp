// pass_through_probe DRIVE [BYTES]: the Windows pass-through backend against a real
// drive. Opens drive DRIVE ("E:", the device \\.\E:) through Win32PassThroughSystem, asks the adapter's
// capabilities, then sends INQUIRY, TEST UNIT READY, one WRITE BUFFER (mode 5, BYTES
// bytes of a counting pattern, offset 0) and two more TEST UNIT READY, so the unit
// attention the download raises shows up. Prints one line per step; the script that
// runs it under wine compares them with what the kernel saw. Exit status: 0 when every
// call reached the drive, 1 when one failed, 2 on bad usage.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/win32_pass_through_system.h"

namespace {

using morv::PassThroughRecord;
using morv::PassThroughSystem;

std::string Hex(const uint8_t* bytes, size_t count) {
  std::string text;
  char digits[4];
  for (size_t i = 0; i < count; ++i) {
    std::snprintf(digits, sizeof digits, i ? " %02x" : "%02x", bytes[i]);
    text += digits;
  }
  return text;
}

std::string Printable(const uint8_t* bytes, size_t count) {
  std::string text;
  for (size_t i = 0; i < count; ++i) text += (bytes[i] >= 0x20 && bytes[i] < 0x7f) ? char(bytes[i]) : '.';
  return text;
}

class Probe {
 public:
  explicit Probe(morv::win32::Win32PassThroughSystem& system) : m_system(system) {}

  bool Open(char letter) {
    m_handle = m_system.Open(letter);
    if (m_handle == PassThroughSystem::kInvalidHandle) return Failed(std::string("OPEN ") + letter + ":");
    std::printf("OPEN %s ok\n", morv::DevicePathOf(letter).c_str());
    return true;
  }

  bool Capabilities() {
    morv::IoScsiCapabilities capabilities;
    capabilities.Length = sizeof capabilities;
    if (!m_system.GetCapabilities(m_handle, capabilities)) return Failed("CAPABILITIES");
    std::printf("CAPABILITIES max_transfer=%lu alignment_mask=%lu\n",
                static_cast<unsigned long>(capabilities.MaximumTransferLength),
                static_cast<unsigned long>(capabilities.AlignmentMask));
    return true;
  }

  /// Sends one command; `data` is the data buffer (empty for none), `in` its direction.
  bool Send(const char* name, std::vector<uint8_t> cdb, std::vector<uint8_t>& data, bool in) {
    PassThroughRecord record;
    record.spt.Length = sizeof record.spt;
    record.spt.CdbLength = static_cast<uint8_t>(cdb.size());
    record.spt.SenseInfoLength = sizeof record.sense;
    record.spt.DataIn = data.empty() ? morv::kDataUnspecified : in ? morv::kDataIn : morv::kDataOut;
    record.spt.DataTransferLength = static_cast<uint32_t>(data.size());
    record.spt.DataBuffer = data.empty() ? nullptr : data.data();
    record.spt.TimeOutValue = 30;
    record.spt.SenseInfoOffset = offsetof(PassThroughRecord, sense);
    for (size_t i = 0; i < cdb.size(); ++i) record.spt.Cdb[i] = cdb[i];
    if (!m_system.PassThroughDirect(m_handle, record)) return Failed(name);
    std::printf("%s status=0x%02x", name, record.spt.ScsiStatus);
    if (record.spt.ScsiStatus != 0) {
      size_t senseLength = record.sense[7] + 8u < sizeof record.sense ? record.sense[7] + 8u : sizeof record.sense;
      std::printf(" sense=%s key=%x asc=%02x ascq=%02x", Hex(record.sense, senseLength).c_str(),
                  record.sense[2] & 0x0f, record.sense[12], record.sense[13]);
    }
    std::printf(" transferred=%lu\n", static_cast<unsigned long>(record.spt.DataTransferLength));
    return true;
  }

  void Close() { m_system.Close(m_handle); }

 private:
  bool Failed(const std::string& step) {
    int code = m_system.LastError();
    std::string text;
    if (!m_system.MessageText(code, 256, text)) text = "?";
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
    std::printf("%s failed error=%d (%s)\n", step.c_str(), code, text.c_str());
    return false;
  }

  morv::win32::Win32PassThroughSystem& m_system;
  PassThroughSystem::Handle m_handle = PassThroughSystem::kInvalidHandle;
};

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 3) {
    std::fprintf(stderr, "usage: pass_through_probe DRIVE [BYTES]\n");
    return 2;
  }
  const unsigned long bytes = argc == 3 ? std::strtoul(argv[2], nullptr, 10) : 16384;
  if (bytes == 0 || bytes > 0xffffff) {
    std::fprintf(stderr, "pass_through_probe: BYTES must be 1 to 16777215\n");
    return 2;
  }
  std::setvbuf(stdout, nullptr, _IONBF, 0);

  morv::win32::Win32PassThroughSystem system;
  Probe probe(system);
  if (!probe.Open(argv[1][0])) return 1;
  bool ok = probe.Capabilities();

  std::vector<uint8_t> none;
  std::vector<uint8_t> inquiry(96);
  if (probe.Send("INQUIRY", {0x12, 0, 0, 0, 96, 0}, inquiry, true))
    std::printf("INQUIRY type=%u rmb=%u identity=\"%s\"\n", inquiry[0] & 0x1f, inquiry[1] >> 7,
                Printable(inquiry.data() + 8, 28).c_str());
  else
    ok = false;
  ok = probe.Send("TEST_UNIT_READY", {0, 0, 0, 0, 0, 0}, none, false) && ok;

  std::vector<uint8_t> image(bytes);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i);
  const std::vector<uint8_t> writeBuffer = {0x3B, 0x05, 0, 0, 0, 0, uint8_t(bytes >> 16), uint8_t(bytes >> 8),
                                            uint8_t(bytes), 0};
  ok = probe.Send("WRITE_BUFFER", writeBuffer, image, false) && ok;
  ok = probe.Send("TEST_UNIT_READY", {0, 0, 0, 0, 0, 0}, none, false) && ok;
  ok = probe.Send("TEST_UNIT_READY", {0, 0, 0, 0, 0, 0}, none, false) && ok;
  probe.Close();
  std::printf("DONE %s\n", ok ? "ok" : "failed");
  return ok ? 0 : 1;
}
