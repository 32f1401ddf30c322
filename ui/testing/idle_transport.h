#pragma once
// A transport for user-interface tests that expect no drive traffic: it counts the
// requests it is handed and refuses each one.

#include "scsi/scsi_drive.h"

namespace morv {

class IdleTransport : public Transport {
 public:
  explicit IdleTransport(ProgramKind kind = ProgramKind::NT) : m_kind(kind) {}
  int requests = 0;

  uint8_t ExecRequest(CScsiDrive& drive, const uint8_t*, uint8_t, int32_t) override {
    ++requests;
    drive.m_request.completed = false;
    drive.m_request.sense.fill(0);
    drive.m_errorText = "no device in this test";
    return kCodeNoDevice;
  }
  bool RepeatsOnUnitAttention() const override { return m_kind == ProgramKind::NT; }
  size_t SenseLength() const override { return m_kind == ProgramKind::NT ? 20 : 14; }
  ProgramKind Kind() const override { return m_kind; }
  void ResetDeviceCount() override {}

 private:
  ProgramKind m_kind;
};

}  // namespace morv
