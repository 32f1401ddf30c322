#include "platform/win32/win32_machine_power.h"

#include <windows.h>

#include <string>
#include <utility>

namespace morv::win32 {
namespace {

constexpr uint8_t kAcOffline = 0;
constexpr uint8_t kNoSystemBattery = 128;
constexpr uint8_t kUnknown = 255;

std::string ErrorNumber() { return "error " + std::to_string(GetLastError()); }

}  // namespace

PowerSupply SupplyFromStatus(uint8_t acLineStatus, uint8_t batteryFlag, uint8_t batteryLifePercent) {
  PowerSupply supply;
  supply.onBattery = acLineStatus == kAcOffline;
  if (batteryFlag != kNoSystemBattery && batteryFlag != kUnknown && batteryLifePercent <= 100)
    supply.batteryPercent = batteryLifePercent;
  return supply;
}

Win32MachinePower::Win32MachinePower(PowerNote note) : m_note(std::move(note)) {}

Win32MachinePower::~Win32MachinePower() { EndKeepAwake(); }

PowerSupply Win32MachinePower::Supply() {
  SYSTEM_POWER_STATUS status{};
  if (!GetSystemPowerStatus(&status)) {
    m_note("power: battery not checked: " + ErrorNumber());
    return {};
  }
  return SupplyFromStatus(status.ACLineStatus, status.BatteryFlag, status.BatteryLifePercent);
}

void Win32MachinePower::BeginKeepAwake() {
  if (m_held) return;
  m_held = SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED) != 0;
  if (!m_held) m_note("power: sleep not held off: " + ErrorNumber());
}

void Win32MachinePower::EndKeepAwake() {
  if (!m_held) return;
  SetThreadExecutionState(ES_CONTINUOUS);
  m_held = false;
}

}  // namespace morv::win32
