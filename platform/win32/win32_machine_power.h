#pragma once
// The machine's power on Windows: GetSystemPowerStatus tells whether the machine runs
// on battery and the charge left; SetThreadExecutionState with ES_CONTINUOUS |
// ES_SYSTEM_REQUIRED keeps the system from sleeping while the download runs. Logoff
// and shutdown are refused by the termination hold, not here.

#include <cstdint>

#include "platform/machine_power.h"

namespace morv::win32 {

/// The supply from SYSTEM_POWER_STATUS's ACLineStatus, BatteryFlag and BatteryLifePercent.
PowerSupply SupplyFromStatus(uint8_t acLineStatus, uint8_t batteryFlag, uint8_t batteryLifePercent);

class Win32MachinePower : public MachinePower {
 public:
  /// `note` gets one line for each check or hold the system refused.
  explicit Win32MachinePower(PowerNote note);
  /// Ends a hold still in force.
  ~Win32MachinePower() override;

  PowerSupply Supply() override;
  void BeginKeepAwake() override;
  void EndKeepAwake() override;

 private:
  PowerNote m_note;
  bool m_held = false;
};

}  // namespace morv::win32
