#pragma once
// The emulated SCSI bus behind Morvantide4 --simulate and the tests: one host
// adapter 0 with its own ID, emulated devices at target IDs and LUNs. Requests
// complete a short delay after they were sent, on the manager's own thread, so
// the requester's pumped wait really waits; or, when asked, at once on the
// requester's thread, for runs that must be fast and repeatable (the fuzz target).

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

#include "platform/aspi_drive_claims.h"
#include "platform/aspi_manager.h"
#include "sim/emulated_device.h"
#include "sim/standard_devices.h"

namespace morv::sim {

class SimAspiManager : public DispatchingAspiManager, public AspiDriveClaims {
 public:
  /// How long after it was sent a request completes, unless a test says otherwise.
  static constexpr std::chrono::microseconds kDefaultDelay = std::chrono::milliseconds(2);

  /// Adapter 0 named `identifier` with own ID `ownId`, no device on it; requests
  /// complete `delay` after they were sent.
  explicit SimAspiManager(std::chrono::microseconds delay = kDefaultDelay, std::string identifier = "SIMUL SCSI HOST",
                          uint8_t ownId = 7);
  /// Adapter 0 "SIMUL SCSI HOST", own ID 7, with the standard set: the disk at
  /// target 0, the MX-R4410 at target 2, the other CD-ROM at target 5 (LUN 0).
  explicit SimAspiManager(const StandardDevices& devices, std::chrono::microseconds delay = kDefaultDelay);
  /// Stops the manager's thread; requests still pending stay pending; claims end.
  ~SimAspiManager() override;
  SimAspiManager(const SimAspiManager&) = delete;
  SimAspiManager& operator=(const SimAspiManager&) = delete;

  /// Puts `device` at `target`/`lun`; the manager shares it with the caller, who
  /// may inject faults and read its record while no request to it is pending.
  void Attach(uint8_t target, uint8_t lun, std::shared_ptr<EmulatedDevice> device);
  /// Fault: requests sent to `target` while this is set are taken and never
  /// complete; only an abort ends them.
  void SetNeverComplete(uint8_t target, bool never);
  /// Requests sent while this is set complete before SendASPI32Command returns, on
  /// the caller's thread (a target set to never complete still never does).
  void SetCompleteAtOnce(bool atOnce);
  /// While held, requests are taken but none completes; once released they
  /// complete as they fall due. Lets a test decide when a pumped wait may end.
  void SetHeld(bool held);
  /// Requests taken and neither completed nor aborted yet.
  size_t PendingCount();

  /// Claims of `target` are refused as held by `holder`; an empty holder ends that.
  void HoldElsewhere(uint8_t target, std::string holder);

  /// SS_COMP with one adapter.
  uint32_t GetASPI32SupportInfo() override;
  /// "sim:ha:target:lun" and the device's place on the emulated bus.
  DevicePlace PlaceOf(uint8_t adapter, uint8_t target, uint8_t lun) override;
  /// Takes the device's update lock (sim/device_claims.h); until Release the address
  /// reaches only that device.
  ClaimOutcome Claim(uint8_t adapter, uint8_t target, uint8_t lun) override;
  /// Drops the lock.
  void Release(uint8_t adapter, uint8_t target, uint8_t lun) override;

 private:
  struct Pending {
    SRB_ExecSCSICmd* srb;
    std::chrono::steady_clock::time_point due;
    bool never;
  };

  uint8_t Inquire(SRB_HAInquiry& srb) override;
  uint8_t Execute(SRB_ExecSCSICmd& srb) override;
  uint8_t Abort(const SRB_Abort& srb) override;
  /// The manager's thread, started with the first request that waits for it:
  /// completes each request when it is due.
  void Run();
  /// Runs the request on its device and completes the block (lock held); returns
  /// the status it gave the block.
  uint8_t Complete(SRB_ExecSCSICmd& srb);

  const std::chrono::microseconds m_delay;
  const std::string m_identifier;
  const uint8_t m_ownId;

  std::mutex m_mutex;  // guards everything below, and the devices while they run
  std::condition_variable m_changed;
  std::map<std::pair<uint8_t, uint8_t>, std::shared_ptr<EmulatedDevice>> m_devices;
  std::map<uint8_t, bool> m_neverComplete;
  std::map<uint8_t, std::string> m_heldElsewhere;
  /// Claimed addresses and the device each claimed.
  std::map<std::pair<uint8_t, uint8_t>, std::shared_ptr<EmulatedDevice>> m_claims;
  bool m_atOnce = false;
  bool m_held = false;
  std::list<Pending> m_pending;
  bool m_stopping = false;
  std::thread m_thread;
};

}  // namespace morv::sim
