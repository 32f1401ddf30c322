#pragma once
// What every emulated device shares: the command record, standard INQUIRY data,
// REQUEST SENSE, LUN 0 only, a pending unit attention, and the faults tests inject
// (a refused command, a refused operation code, a busy target, a vanished device).
// The models add the commands of their own kind (Respond).

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "sim/emulated_device.h"

namespace morv::sim {

/// SCSI status bytes the emulated devices answer with.
inline constexpr uint8_t kStatusGood = 0x00;
inline constexpr uint8_t kStatusCheckCondition = 0x02;
inline constexpr uint8_t kStatusBusy = 0x08;

/// Standard INQUIRY identification: texts are padded with spaces or cut to 8, 16
/// and 4 characters.
struct Identity {
  uint8_t type = 0;  ///< peripheral device type
  bool removable = false;
  std::string vendor;
  std::string product;
  std::string revision;
};

/// Length of the standard INQUIRY data the devices return (bytes 36 and up zero).
inline constexpr size_t kInquiryLength = 96;

class StandardDevice : public EmulatedDevice {
 public:
  explicit StandardDevice(Identity identity);

  /// A busy target or a refused command first, then a pending unit attention
  /// (never to INQUIRY or REQUEST SENSE), then a refused operation code, then the
  /// common commands, then the model's own.
  DeviceResult Execute(const DeviceCommand& command) override;
  const std::vector<RecordedCommand>& Record() const override { return m_record; }
  /// False from the command VanishAt names on.
  bool Present() const override;

  /// Answers the `number`th command received (counted from 1) with CHECK CONDITION
  /// and this sense.
  void RefuseCommand(size_t number, uint8_t key, uint8_t asc, uint8_t ascq);
  /// Answers every command with this operation code with CHECK CONDITION and this sense.
  void RefuseOperation(uint8_t operationCode, uint8_t key, uint8_t asc, uint8_t ascq);
  /// Answers every command with BUSY status while `busy` is true.
  void SetBusy(bool busy) { m_busy = busy; }
  /// The device is gone before its `number`th command (counted from 1): from then on
  /// it is not present, so that command and every later one cannot reach it.
  void VanishAt(size_t number) { m_vanishAt = number; }
  /// Forgets the recorded commands; the count of commands received goes on.
  void ClearRecord() { m_record.clear(); }
  /// Commands received so far.
  size_t CommandCount() const { return m_commandCount; }
  /// The standard INQUIRY data of this device.
  std::vector<uint8_t> InquiryData() const;

 protected:
  /// Answers a command that the common part left to the model; data for the
  /// initiator goes into `dataIn` (cut to the request's length by the caller).
  virtual DeviceResult Respond(const DeviceCommand& command, std::vector<uint8_t>& dataIn) = 0;
  /// Makes a unit attention (sense key 6) with this ASC/ASCQ pending.
  void RaiseUnitAttention(uint8_t asc, uint8_t ascq);
  /// The product revision INQUIRY reports from now on (padded or cut to 4 characters).
  void SetRevision(const std::string& revision) { m_identity.revision = revision; }
  static DeviceResult Good() { return {}; }
  static DeviceResult CheckCondition(uint8_t key, uint8_t asc, uint8_t ascq) {
    return {kStatusCheckCondition, FixedSense(key, asc, ascq)};
  }

 private:
  DeviceResult Answer(const DeviceCommand& command, std::vector<uint8_t>& dataIn);
  DeviceResult Inquiry(const DeviceCommand& command, std::vector<uint8_t>& dataIn) const;
  DeviceResult RequestSense(const DeviceCommand& command, std::vector<uint8_t>& dataIn);
  void Remember(const DeviceCommand& command, const std::vector<uint8_t>& dataIn, const DeviceResult& result);

  Identity m_identity;
  std::vector<RecordedCommand> m_record;
  size_t m_commandCount = 0;
  std::vector<uint8_t> m_pendingAttention;  ///< sense of a pending unit attention, else empty
  std::map<size_t, std::vector<uint8_t>> m_refusedCommands;
  std::map<uint8_t, std::vector<uint8_t>> m_refusedOperations;
  bool m_busy = false;
  size_t m_vanishAt = 0;  ///< 0: never
};

}  // namespace morv::sim
