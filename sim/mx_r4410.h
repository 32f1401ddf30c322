#pragma once
// The emulated KESTREL MX-R4410 DVD-RAM drive as the flashing tool meets it: a unit
// attention after power-on and after every firmware save, no disc in the tray, and
// the microcode download through WRITE BUFFER into 32 buffers of 16 KiB. After a save
// it reports the revision stamped into the saved image (sim/revision_stamp.h).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "sim/standard_device.h"

namespace morv::sim {

class MxR4410 : public StandardDevice {
 public:
  static constexpr size_t kBufferCount = 32;
  static constexpr size_t kBufferSize = 16384;
  static constexpr uint8_t kModeDownload = 4;
  static constexpr uint8_t kModeDownloadAndSave = 5;

  /// A drive just powered on: a unit attention is pending.
  MxR4410();

  /// The microcode downloaded so far: buffer 0 to 31, 16 KiB each, one after the other.
  const std::vector<uint8_t>& Downloaded() const { return m_downloaded; }
  /// The microcode the last save stored (zeros before the first save).
  const std::vector<uint8_t>& Saved() const { return m_saved; }
  /// How often WRITE BUFFER mode 5 saved the downloaded microcode.
  size_t SaveCount() const { return m_saveCount; }
  /// Refuses every WRITE BUFFER as a drive whose customizing code does not match the
  /// firmware does (ILLEGAL REQUEST, ASC 24h, ASCQ 90h).
  void RefuseCustomizingCode() { RefuseOperation(0x3B, 0x05, 0x24, 0x90); }

 protected:
  DeviceResult Respond(const DeviceCommand& command, std::vector<uint8_t>& dataIn) override;

 private:
  DeviceResult WriteBuffer(const DeviceCommand& command);

  std::vector<uint8_t> m_downloaded;
  std::vector<uint8_t> m_saved;
  size_t m_saveCount = 0;
};

}  // namespace morv::sim
