#pragma once
// A scripted transport for tests: answers each request with the next scripted
// reply (completion code, status bytes, sense) and records what it was handed.

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "scsi/message_lookup.h"
#include "scsi/scsi_drive.h"

namespace morv {

/// Which program's transport a FakeTransport plays: MorvantideNT's repeats on UNIT
/// ATTENTION, keeps 20 sense bytes, composes from the target status and clears the
/// text on success; Morvantide4's does none of that and composes from the code.
enum class ProgramKind { NT, Four };

class FakeTransport : public Transport {
 public:
  struct Reply {
    uint8_t code = kCodeDone;
    uint8_t haStatus = 0;
    uint8_t targetStatus = 0;
    std::vector<uint8_t> sense;   ///< copied into m_request.sense (rest zeroed)
    bool reachedDevice = true;    ///< false: a refusal before the device
    bool keepsSense = false;      ///< a refusal that leaves the earlier sense in place
    std::string errorText;        ///< for refusals: the transport's own text
    std::vector<uint8_t> dataIn;  ///< copied into the request's buffer
  };
  struct Sent {
    std::vector<uint8_t> cdb;
    const uint8_t* data = nullptr;
    uint32_t dataLength = 0;
    int32_t timeout = 0;
    uint8_t deviceIndex = 0, hostAdapter = 0, targetId = 0, lun = 0;
  };

  explicit FakeTransport(ProgramKind kind = ProgramKind::NT) : m_kind(kind) {}

  std::deque<Reply> replies;  ///< consumed in order; when empty every request completes with 1
  std::vector<Sent> sent;
  int resetCount = 0;
  /// Runs before each reply (tests use it to nest requests).
  std::function<void(CScsiDrive&)> onRequest;
  /// Composes the error text of a failed reply from the target status (NT) or the
  /// code (Four). Tests of a program's own words plug its composition in here; the
  /// stand-in writes the command name, the byte and the sense's ASC-ASCQ.
  std::function<void(CScsiDrive&, uint8_t)> compose = [](CScsiDrive& drive, uint8_t codeOrStatus) {
    drive.m_errorText = drive.m_commandName + " fake " + std::to_string(codeOrStatus) +
                        SenseDetail(drive.Asc(), drive.Ascq(), std::to_string(drive.SenseKey()));
  };

  uint8_t ExecRequest(CScsiDrive& drive, const uint8_t* cdb, uint8_t cdbLength, int32_t timeout) override {
    sent.push_back({std::vector<uint8_t>(cdb, cdb + cdbLength), drive.m_request.data, drive.m_request.dataLength,
                    timeout, drive.m_deviceIndex, drive.m_hostAdapter, drive.m_targetId, drive.m_lun});
    if (onRequest) onRequest(drive);
    Reply reply;
    if (!replies.empty()) {
      reply = replies.front();
      replies.pop_front();
    }
    auto& request = drive.m_request;
    request.completed = reply.reachedDevice;
    if (reply.reachedDevice || !reply.keepsSense) request.sense.fill(0);
    if (reply.reachedDevice) {
      drive.m_haStatus = reply.haStatus;
      drive.m_targetStatus = reply.targetStatus;
      for (size_t i = 0; i < reply.sense.size() && i < SenseLength(); ++i) request.sense[i] = reply.sense[i];
      for (size_t i = 0; i < reply.dataIn.size() && i < request.dataLength && request.data; ++i)
        request.data[i] = reply.dataIn[i];
    }
    if (reply.code != kCodeDone) {
      if (!reply.errorText.empty())
        drive.m_errorText = reply.errorText;
      else
        compose(drive, m_kind == ProgramKind::NT ? drive.m_targetStatus : reply.code);
    } else if (m_kind == ProgramKind::NT) {
      drive.m_errorText.clear();
    }
    return reply.code;
  }
  bool RepeatsOnUnitAttention() const override { return m_kind == ProgramKind::NT; }
  size_t SenseLength() const { return m_kind == ProgramKind::NT ? 20 : 14; }
  void ResetDeviceCount() override { ++resetCount; }

  /// A reply that completed with CHECK CONDITION and the given sense key, ASC, ASCQ.
  static Reply CheckCondition(uint8_t key, uint8_t asc, uint8_t ascq, uint8_t byte19 = 0) {
    Reply r;
    r.code = kCodeError;
    r.targetStatus = 0x02;
    r.sense.assign(20, 0);
    r.sense[0] = 0x70;
    r.sense[2] = key;
    r.sense[12] = asc;
    r.sense[13] = ascq;
    r.sense[19] = byte19;
    return r;
  }

 private:
  ProgramKind m_kind;
};

}  // namespace morv
