#include "sim/answer_script_device.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace morv::sim {
namespace {

constexpr uint8_t kStatusOwn = 0;
constexpr uint8_t kStatusFollows = 7;
/// Status bytes of choices 1 to 6.
constexpr std::array<uint8_t, 7> kStatusChoices{0x00, 0x00, 0x02, 0x08, 0x18, 0x28, 0x04};

constexpr uint8_t kSenseFollows = 0x08;
constexpr uint8_t kDataFollows = 0x10;
constexpr uint8_t kTransferFollows = 0x20;

constexpr uint8_t kFormDescriptor = 0x01;
constexpr uint8_t kFormDeferred = 0x02;

/// The MX-R4410's identification, and GOOD to every other command.
class SoundDrive final : public StandardDevice {
 public:
  SoundDrive() : StandardDevice({0x05, true, "KESTREL", "MX-R4410", "1.00"}) {}

 protected:
  DeviceResult Respond(const DeviceCommand&, std::vector<uint8_t>&) override { return Good(); }
};

}  // namespace

AnswerScriptDevice::AnswerScriptDevice(std::span<const uint8_t> script)
    : m_script(script.begin(), script.end()), m_drive(std::make_unique<SoundDrive>()) {}

uint8_t AnswerScriptDevice::Next() { return m_next < m_script.size() ? m_script[m_next++] : 0; }

std::vector<uint8_t> AnswerScriptDevice::NextBytes(size_t count) {
  std::vector<uint8_t> bytes(count);
  for (auto& byte : bytes) byte = Next();
  return bytes;
}

std::vector<uint8_t> AnswerScriptDevice::ScriptedSense() {
  const uint8_t form = Next();
  const uint8_t key = Next(), asc = Next(), ascq = Next();
  const uint8_t stated = Next();
  const uint8_t returned = Next();
  const uint8_t deferred = (form & kFormDeferred) != 0 ? 1 : 0;
  std::vector<uint8_t> sense;
  if ((form & kFormDescriptor) != 0)
    sense = {static_cast<uint8_t>(0x72 + deferred), key, asc, ascq, 0, 0, 0, stated};
  else
    sense = {static_cast<uint8_t>(0x70 + deferred), 0, key, 0, 0, 0, 0, stated, 0, 0, 0, 0, asc, ascq};
  const std::vector<uint8_t> extra = NextBytes(Next());
  sense.insert(sense.end(), extra.begin(), extra.end());
  sense.resize(returned);
  return sense;
}

DeviceResult AnswerScriptDevice::Execute(const DeviceCommand& command) {
  const uint8_t flags = Next();

  // The sound drive answers first, into a buffer of its own, so that the script can
  // still replace or cut what reaches the initiator.
  const bool dataIn = command.direction == DataDirection::In && command.data != nullptr;
  std::vector<uint8_t> scratch(dataIn ? command.dataLength : 0);
  DeviceCommand own = command;
  if (dataIn) own.data = scratch.data();
  DeviceResult result = m_drive->Execute(own);
  std::vector<uint8_t> moved = dataIn ? m_drive->Record().back().data : std::vector<uint8_t>{};
  if (command.direction == DataDirection::Out && command.data != nullptr)
    moved.assign(command.data, command.data + command.dataLength);
  m_drive->ClearRecord();

  const uint8_t statusChoice = flags & 0x07;
  if (statusChoice == kStatusFollows)
    result.status = Next();
  else if (statusChoice != kStatusOwn)
    result.status = kStatusChoices[statusChoice];
  if ((flags & kSenseFollows) != 0) result.sense = ScriptedSense();
  if ((flags & kDataFollows) != 0) {
    std::vector<uint8_t> data = NextBytes(Next());
    if (dataIn) moved = std::move(data);
  }
  if ((flags & kTransferFollows) != 0) moved.resize(std::min<size_t>(moved.size(), Next()));

  // Never past the initiator's buffer, as no adapter would let it.
  if (dataIn) {
    moved.resize(std::min<size_t>(moved.size(), command.dataLength));
    if (!moved.empty()) std::memcpy(command.data, moved.data(), moved.size());
  }

  RecordedCommand entry;
  entry.cdb = command.cdb;
  entry.dataLength = command.dataLength;
  entry.direction = command.direction;
  entry.data = std::move(moved);
  entry.status = result.status;
  entry.sense = result.sense;
  m_record.push_back(std::move(entry));
  return result;
}

}  // namespace morv::sim
