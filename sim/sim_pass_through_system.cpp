#include "sim/sim_pass_through_system.h"

#include "platform/fixed_format_sense.h"
#include "sim/device_claims.h"

#include <algorithm>
#include <cerrno>
#include <thread>

namespace morv::sim {

SimPassThroughSystem::SimPassThroughSystem() = default;

SimPassThroughSystem::SimPassThroughSystem(const StandardDevices& devices) : SimPassThroughSystem() {
  Attach('C', devices.disk);
  Attach('E', devices.drive);
  Attach('G', devices.cdrom);
}

SimPassThroughSystem::~SimPassThroughSystem() {
  for (const auto& [handle, device] : m_claims) ReleaseDevice(*device);
}

void SimPassThroughSystem::Attach(char letter, std::shared_ptr<EmulatedDevice> device) {
  m_letters.at(static_cast<size_t>(letter - 'A')).device = std::move(device);
}

void SimPassThroughSystem::SetMaxTransfer(char letter, uint32_t bytes) {
  m_letters.at(static_cast<size_t>(letter - 'A')).maxTransfer = bytes;
}

void SimPassThroughSystem::FailPassThrough(int error, int count) {
  m_failError = error;
  m_failCount = count;
}

void SimPassThroughSystem::SetMessageText(int code, std::string text) { m_messages[code] = std::move(text); }

PassThroughSystem::Handle SimPassThroughSystem::Open(char drive) {
  const char letter = DriveLetterOf(drive);
  const EmulatedDevice* device = letter == 0 ? nullptr : m_letters[static_cast<size_t>(letter - 'A')].device.get();
  if (letter != 0 && m_letters[static_cast<size_t>(letter - 'A')].denied) {
    Fail(EACCES);  // a node whose permissions keep this user out
    return kInvalidHandle;
  }
  if (device == nullptr || !device->Present()) {
    Fail(ENOENT);  // no node for the letter, as on the real system
    return kInvalidHandle;
  }
  m_handles[m_nextHandle] = letter;
  return m_nextHandle++;
}

bool SimPassThroughSystem::DeniesAccess(int code) const { return code == EACCES; }

SimPassThroughSystem::Letter* SimPassThroughSystem::LetterOf(Handle handle) {
  auto it = m_handles.find(handle);
  return it == m_handles.end() ? nullptr : &m_letters[static_cast<size_t>(it->second - 'A')];
}

bool SimPassThroughSystem::PassThroughDirect(Handle handle, PassThroughRecord& record) {
  Letter* letter = LetterOf(handle);
  if (letter == nullptr) return Fail(EBADF);
  if (m_failCount > 0) {
    --m_failCount;
    return Fail(m_failError);
  }
  ScsiPassThroughDirect& request = record.spt;
  if (!WellFormed(request) || request.DataTransferLength > letter->maxTransfer) return Fail(EINVAL);
  // A claimed handle keeps reaching the device it claimed, as a held node does.
  const auto claim = m_claims.find(handle);
  EmulatedDevice& device = claim != m_claims.end() ? *claim->second : *letter->device;
  if (!device.Present()) return Fail(ENODEV);

  if (m_delay.count() > 0) std::this_thread::sleep_for(m_delay);
  const DataDirection direction = RecordDirection(request);
  DeviceCommand command;
  command.cdb.assign(request.Cdb, request.Cdb + request.CdbLength);
  if (direction != DataDirection::None) {
    command.data = static_cast<uint8_t*>(request.DataBuffer);
    command.dataLength = request.DataTransferLength;
  }
  command.direction = direction;
  const DeviceResult result = device.Execute(command);

  request.ScsiStatus = result.status;
  // Sense reaches the transport in fixed format, as from the real backends.
  FixedFormatSense(result.sense.data(), result.sense.size(), record.sense, request.SenseInfoLength);
  return true;
}

bool SimPassThroughSystem::GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) {
  Letter* letter = LetterOf(handle);
  if (letter == nullptr) return Fail(EBADF);
  capabilities = IoScsiCapabilities{};
  capabilities.Length = sizeof capabilities;
  capabilities.MaximumTransferLength = letter->maxTransfer;
  return true;
}

void SimPassThroughSystem::Close(Handle handle) { m_handles.erase(handle); }

void SimPassThroughSystem::HoldElsewhere(char letter, std::string holder) {
  m_letters.at(static_cast<size_t>(letter - 'A')).heldBy = std::move(holder);
}

DevicePlace SimPassThroughSystem::PlaceOf(Handle handle) {
  const Letter* letter = LetterOf(handle);
  if (letter == nullptr) return {};
  const auto claim = m_claims.find(handle);
  const EmulatedDevice& device = claim != m_claims.end() ? *claim->second : *letter->device;
  return {DevicePathOf(m_handles[handle]), EmulatedAddress(device)};
}

ClaimOutcome SimPassThroughSystem::Claim(char letter, Handle& handle) {
  handle = Open(letter);
  if (handle == kInvalidHandle) return {ClaimStatus::Failed, {}, m_lastError};
  // A device that takes the letter later is not the one this handle claimed.
  std::shared_ptr<EmulatedDevice> device = LetterOf(handle)->device;
  ClaimOutcome outcome{ClaimStatus::Claimed, {}, 0};
  if (!LetterOf(handle)->heldBy.empty())
    outcome = {ClaimStatus::HeldElsewhere, LetterOf(handle)->heldBy, 0};
  else if (!TryClaimDevice(*device))
    outcome = {ClaimStatus::UpdatedElsewhere, {}, 0};
  if (outcome.status != ClaimStatus::Claimed) {
    Close(handle);
    handle = kInvalidHandle;
    return outcome;
  }
  m_claims[handle] = std::move(device);
  return outcome;
}

void SimPassThroughSystem::Release(Handle handle) {
  const auto claim = m_claims.find(handle);
  if (claim == m_claims.end()) return;
  ReleaseDevice(*claim->second);
  m_claims.erase(claim);
  Close(handle);
}

bool SimPassThroughSystem::MessageText(int code, size_t bufferSize, std::string& text) {
  auto it = m_messages.find(code);
  if (it == m_messages.end()) return ErrnoMessageText(code, bufferSize, text, m_lastError);
  if (it->second.empty()) return Fail(EINVAL);
  if (it->second.size() + 1 > bufferSize) return Fail(ERANGE);
  text = it->second;
  return true;
}

}  // namespace morv::sim
