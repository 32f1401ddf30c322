#pragma once
// The machine's power as a firmware download needs it: whether the machine runs on a
// battery that may not last the download, and a hold that keeps the machine from
// sleeping, powering off or acting on its lid and power keys while the download runs.
// Linux asks UPower and logind over the system bus; Windows asks the power status and
// sets the thread's execution state. Where the system cannot tell or hold, the
// backend says so through the note it was given and the flash goes on: servers and
// rescue systems have neither.

#include <functional>
#include <optional>
#include <string>

namespace morv {

/// Where the machine draws its power from right now.
struct PowerSupply {
  bool onBattery = false;                ///< no mains power: a battery or a UPS feeds the machine
  std::optional<double> batteryPercent;  ///< the charge left, 0 to 100, where the system knows it
};

/// One line for the operator's diagnostics (the command trace, or standard error).
using PowerNote = std::function<void(const std::string& line)>;

class MachinePower {
 public:
  virtual ~MachinePower() = default;
  /// The supply now; a machine whose system cannot tell reads as on mains.
  virtual PowerSupply Supply() = 0;
  /// From now on sleep, power-off, idle actions and the lid and power keys are held off.
  virtual void BeginKeepAwake() = 0;
  /// Ends what BeginKeepAwake began; the machine may sleep again.
  virtual void EndKeepAwake() = 0;
};

/// Keeps the machine awake for the life of this object.
class KeepAwakeHold {
 public:
  explicit KeepAwakeHold(MachinePower& power) : m_power(power) { m_power.BeginKeepAwake(); }
  ~KeepAwakeHold() { m_power.EndKeepAwake(); }
  KeepAwakeHold(const KeepAwakeHold&) = delete;
  KeepAwakeHold& operator=(const KeepAwakeHold&) = delete;

 private:
  MachinePower& m_power;
};

}  // namespace morv
