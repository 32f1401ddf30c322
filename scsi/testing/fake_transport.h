#pragma once
// A scripted transport for tests: answers each request with the next scripted
// reply (completion code, status bytes, sense) and records what it was handed.

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
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
    std::vector<uint8_t> sense;   ///< the outcome's sense (rest zeroed)
    bool reachedDevice = true;    ///< false: a refusal before the device
    std::string errorText;        ///< for refusals: the transport's own text
    std::vector<uint8_t> dataIn;  ///< copied into the request's buffer
  };
  struct Sent {
    std::vector<uint8_t> cdb;
    const uint8_t* data = nullptr;
    uint32_t dataLength = 0;
    int32_t timeout = 0;
    DriveAddress address;
  };

  explicit FakeTransport(ProgramKind kind = ProgramKind::NT) : m_kind(kind) {}

  std::deque<Reply> replies;  ///< consumed in order; when empty every request completes with 1
  /// When set, the reply to every INQUIRY, which then takes nothing from `replies`.
  std::optional<Reply> inquiryReply;
  std::vector<Sent> sent;
  /// Runs before each reply (tests use it to nest requests).
  std::function<void(const TransportRequest&)> onRequest;
  /// Composes the error text of a failed reply from the target status (NT) or the
  /// code (Four). Tests of a program's own words plug its composition in here; the
  /// stand-in writes the command name, the byte and the sense's ASC-ASCQ.
  std::function<std::string(const RequestOutcome&, const std::string&)> compose =
      [this](const RequestOutcome& outcome, const std::string& commandName) {
        const uint8_t byte = m_kind == ProgramKind::NT ? outcome.targetStatus : outcome.code;
        return commandName + " fake " + std::to_string(byte) +
               SenseDetail(outcome.sense[12], outcome.sense[13], std::to_string(outcome.sense[2] & 0x0F));
      };

  RequestOutcome ExecRequest(const TransportRequest& request) override {
    sent.push_back({std::vector<uint8_t>(request.cdb, request.cdb + request.cdbLength), request.data,
                    request.dataLength, request.timeoutSeconds, request.address});
    if (onRequest) onRequest(request);
    Reply reply;
    if (inquiryReply && request.cdbLength > 0 && request.cdb[0] == 0x12) {
      reply = *inquiryReply;
    } else if (!replies.empty()) {
      reply = replies.front();
      replies.pop_front();
    }
    RequestOutcome outcome = RequestOutcome::Refused(reply.code, reply.errorText);
    outcome.carried = outcome.reachedDevice = reply.reachedDevice;
    if (reply.reachedDevice) {
      outcome.haStatus = reply.haStatus;
      outcome.targetStatus = reply.targetStatus;
      for (size_t i = 0; i < reply.sense.size() && i < SenseLength(); ++i) outcome.sense[i] = reply.sense[i];
      for (size_t i = 0; i < reply.dataIn.size() && i < request.dataLength && request.data; ++i)
        request.data[i] = reply.dataIn[i];
    }
    return outcome;
  }
  bool RepeatsOnUnitAttention() const override { return m_kind == ProgramKind::NT; }
  std::optional<std::string> ErrorText(const RequestOutcome& outcome, const std::string& commandName) const override {
    if (outcome.code == kCodeDone)
      return m_kind == ProgramKind::NT ? std::optional<std::string>("") : std::nullopt;
    if (!outcome.transportText.empty()) return outcome.transportText;
    return compose(outcome, commandName);
  }
  size_t SenseLength() const { return m_kind == ProgramKind::NT ? 20 : 14; }

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
