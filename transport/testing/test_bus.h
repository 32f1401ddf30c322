#pragma once
// An ASPI manager for discovery tests: as many host adapters as a test lists, each
// with its own name, own ID and inquiry answer, and emulated devices at (adapter,
// target) on LUN 0. Requests complete at once, on the caller's thread.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/aspi_manager.h"
#include "sim/emulated_device.h"

namespace morv::testing {

class TestBus : public DispatchingAspiManager {
 public:
  struct Adapter {
    std::string identifier;
    uint8_t ownId = 7;
    uint8_t inquiryStatus = SS_COMP;
  };

  std::vector<Adapter> adapters;
  /// Status of the support info; the count is the number of adapters listed.
  uint8_t supportStatus = SS_COMP;
  std::map<std::pair<int, int>, std::shared_ptr<sim::EmulatedDevice>> devices;
  /// Adapter numbers asked about, in order.
  std::vector<int> inquired;
  /// What AccessDenied answers: devices there that this process may not open.
  bool accessDenied = false;

  uint32_t GetASPI32SupportInfo() override {
    return (uint32_t{supportStatus} << 8) | static_cast<uint32_t>(adapters.size() & 0xFF);
  }
  bool AccessDenied() override { return accessDenied; }

 protected:
  uint8_t Inquire(SRB_HAInquiry& srb) override {
    inquired.push_back(srb.SRB_HaId);
    if (srb.SRB_HaId >= adapters.size()) {
      StoreSrbStatus(srb.SRB_Status, SS_INVALID_HA);
      return SS_INVALID_HA;
    }
    const Adapter& adapter = adapters[srb.SRB_HaId];
    if (adapter.inquiryStatus != SS_COMP) {
      StoreSrbStatus(srb.SRB_Status, adapter.inquiryStatus);
      return adapter.inquiryStatus;
    }
    return AnswerAdapterInquiry(srb, static_cast<uint8_t>(adapters.size()), adapter.ownId, "Test bus",
                                adapter.identifier.c_str());
  }

  uint8_t Execute(SRB_ExecSCSICmd& srb) override {
    uint8_t status = CheckExecBlock(srb);
    if (status != SS_PENDING) {
      CompleteExecBlock(srb, status, HASTAT_OK, 0);
      return status;
    }
    auto it = devices.find({srb.SRB_HaId, srb.SRB_Target});
    if (srb.SRB_Lun != 0 || it == devices.end() || !it->second->Present()) {
      CompleteExecBlock(srb, SS_ERR, HASTAT_SEL_TO, 0);
      return SS_ERR;
    }
    sim::DeviceCommand command{std::vector<uint8_t>(srb.CDBByte, srb.CDBByte + srb.SRB_CDBLen), srb.SRB_BufPointer,
                               srb.SRB_BufLen, ExecBlockDirection(srb)};
    const sim::DeviceResult result = it->second->Execute(command);
    status = result.status == 0 ? SS_COMP : SS_ERR;
    CompleteExecBlock(srb, status, HASTAT_OK, result.status, result.sense.data(), result.sense.size());
    return status;
  }

  uint8_t Abort(const SRB_Abort&) override { return SS_ABORT_FAIL; }
};

}  // namespace morv::testing
