#pragma once
// What the drive object needs of the program-specific transport. MorvantideNT's
// PassThroughTransport and Morvantide4's AspiTransport implement it (transport/).

#include <cstdint>

namespace morv {

class CScsiDrive;

class Transport {
 public:
  virtual ~Transport() = default;

  /// Executes one request of `drive` (address, m_lun, m_request.data/dataLength)
  /// with the first `cdbLength` bytes of `cdb` (LUN bits already merged) and a time
  /// limit in seconds. Returns the completion code. Contract:
  ///  - a request that reached the device sets m_request.completed, m_haStatus,
  ///    m_targetStatus and m_request.sense (all zeros when the device returned none);
  ///  - a request refused or failed before the device clears m_request.completed and
  ///    m_request.sense and keeps m_haStatus and m_targetStatus;
  ///  - for every code other than 1, m_errorText describes the failure on return,
  ///    composed in the transport's own words;
  ///  - a second request to a target with one outstanding is refused with
  ///    kCodeTargetBusy without being sent.
  virtual uint8_t ExecRequest(CScsiDrive& drive, const uint8_t* cdb, uint8_t cdbLength,
                              int32_t timeoutSeconds) = 0;
  /// Whether Execute6/10/12 repeat a request while it fails with UNIT ATTENTION.
  virtual bool RepeatsOnUnitAttention() const = 0;
  /// Resets the count of discovered devices (DriveCount or HostAdapterCount).
  virtual void ResetDeviceCount() = 0;
};

}  // namespace morv
