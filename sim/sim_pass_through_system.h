#pragma once
// MorvantideNT's pass-through system over emulated devices: each drive letter may
// have a device behind it. It fails as the Linux backend does, so the emulation never
// shows a text that real hardware cannot: a letter without a device does not open
// (ENOENT, as for a missing sg node), error codes are errno values and their texts
// the C library's. Requests complete at once, or after a delay a test sets.

#include <array>
#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "platform/pass_through_system.h"
#include "sim/emulated_device.h"
#include "sim/standard_devices.h"

namespace morv::sim {

class SimPassThroughSystem : public PassThroughSystem {
 public:
  /// Largest transfer an adapter reports unless a test sets another.
  static constexpr uint32_t kDefaultMaxTransfer = 65536;

  /// No device behind any letter.
  SimPassThroughSystem();
  /// The standard set: C: the disk, E: the MX-R4410, G: the other CD-ROM.
  explicit SimPassThroughSystem(const StandardDevices& devices);
  /// Ends the claims still held, as a program's end drops its locks.
  ~SimPassThroughSystem() override;

  /// Puts `device` behind drive letter `letter` ('A' to 'Z').
  void Attach(char letter, std::shared_ptr<EmulatedDevice> device);
  /// The largest transfer the adapter behind `letter` reports and accepts.
  void SetMaxTransfer(char letter, uint32_t bytes);
  /// Fails the next `count` pass-through calls with `error`, before any device.
  void FailPassThrough(int error, int count = 1);
  /// Every request to a device takes `delay` (on the caller's thread) from now on.
  void SetDelay(std::chrono::milliseconds delay) { m_delay = delay; }
  /// Replaces the message text for `code`; an empty text makes the lookup fail (EINVAL).
  void SetMessageText(int code, std::string text);
  /// Claims of `letter` are refused as held by `holder` (a mounted disc, a burning
  /// program); an empty holder ends that.
  void HoldElsewhere(char letter, std::string holder);

  /// Opening `letter` fails with EACCES, as an sg node the user may not open does,
  /// whether a device is behind it or not.
  void DenyAccess(char letter) { m_letters.at(static_cast<size_t>(letter - 'A')).denied = true; }

  /// Opens a letter whose device is present; ENOENT otherwise.
  Handle Open(char letter) override;
  /// Hands the request to the letter's device; EBADF, EINVAL or ENODEV when it cannot.
  bool PassThroughDirect(Handle handle, PassThroughRecord& record) override;
  /// The letter's largest transfer.
  bool GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) override;
  /// Forgets the handle.
  void Close(Handle handle) override;
  /// The letter's path and the device's place on the emulated bus.
  DevicePlace PlaceOf(Handle handle) override;
  /// Opens the letter and takes its device's update lock (sim/device_claims.h).
  ClaimOutcome Claim(char letter, Handle& handle) override;
  /// Drops the lock and forgets the handle.
  void Release(Handle handle) override;
  /// Error code of the last failed call.
  int LastError() const override { return m_lastError; }
  /// EACCES, as the Linux backend: what a letter a test denies fails with.
  bool DeniesAccess(int code) const override;
  /// The C library's text for `code`, or the one a test set; EINVAL for an unknown
  /// code, ERANGE for a long one.
  bool MessageText(int code, size_t bufferSize, std::string& text) override;

 private:
  struct Letter {
    std::shared_ptr<EmulatedDevice> device;
    uint32_t maxTransfer = kDefaultMaxTransfer;
    std::string heldBy;  ///< what holds the drive elsewhere; empty when nothing does
    bool denied = false;  ///< opening fails with EACCES
  };
  Letter* LetterOf(Handle handle);
  bool Fail(int error) {
    m_lastError = error;
    return false;
  }

  std::array<Letter, 26> m_letters;
  std::map<Handle, char> m_handles;
  std::map<Handle, std::shared_ptr<EmulatedDevice>> m_claims;  ///< claimed handle -> the device it claimed
  Handle m_nextHandle = 3;
  std::map<int, std::string> m_messages;
  int m_failError = 0;
  int m_failCount = 0;
  int m_lastError = 0;
  std::chrono::milliseconds m_delay{0};
};

}  // namespace morv::sim
