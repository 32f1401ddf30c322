#pragma once
// A pass-through system for tests that sits in front of another one and records
// what the transport hands it: the paths it opens, each request as it goes down and
// as it comes back, each capabilities query, and how many handles are open. A hook runs before each
// request reaches the system behind it (tests use it to nest requests).

#include <functional>
#include <string>
#include <vector>

#include "platform/pass_through_system.h"

namespace morv {

class RecordingPassThroughSystem : public PassThroughSystem {
 public:
  explicit RecordingPassThroughSystem(PassThroughSystem& inner) : m_inner(inner) {}

  std::vector<char> opened;                       ///< every letter Open and Claim were asked for
  std::vector<PassThroughRecord> requests;        ///< every record as it went down
  std::vector<PassThroughRecord> answers;         ///< every record as the system gave it back
  std::vector<bool> succeeded;                    ///< whether each request's call succeeded
  int capabilityQueries = 0;
  int openHandles = 0;                            ///< opened and not yet closed
  std::function<void()> beforeRequest;

  Handle Open(char letter) override {
    opened.push_back(letter);
    Handle handle = m_inner.Open(letter);
    if (handle != kInvalidHandle) ++openHandles;
    return handle;
  }
  bool PassThroughDirect(Handle handle, PassThroughRecord& record) override {
    requests.push_back(record);
    if (beforeRequest) beforeRequest();
    const bool ok = m_inner.PassThroughDirect(handle, record);
    answers.push_back(record);
    succeeded.push_back(ok);
    return ok;
  }
  bool GetCapabilities(Handle handle, IoScsiCapabilities& capabilities) override {
    ++capabilityQueries;
    return m_inner.GetCapabilities(handle, capabilities);
  }
  void Close(Handle handle) override {
    --openHandles;
    m_inner.Close(handle);
  }
  DevicePlace PlaceOf(Handle handle) override { return m_inner.PlaceOf(handle); }
  ClaimOutcome Claim(char letter, Handle& handle) override {
    opened.push_back(letter);
    const ClaimOutcome outcome = m_inner.Claim(letter, handle);
    if (outcome.status == ClaimStatus::Claimed) ++openHandles;
    return outcome;
  }
  void Release(Handle handle) override {
    --openHandles;
    m_inner.Release(handle);
  }
  int LastError() const override { return m_inner.LastError(); }
  bool DeniesAccess(int code) const override { return m_inner.DeniesAccess(code); }
  bool MessageText(int code, size_t bufferSize, std::string& text) override {
    return m_inner.MessageText(code, bufferSize, text);
  }

 private:
  PassThroughSystem& m_inner;
};

}  // namespace morv
