#pragma once
// The machine's power on Linux, over the system bus (sd-bus): UPower tells whether the
// machine runs on battery and how much charge is left (its DisplayDevice, else the
// batteries themselves), and a logind inhibitor lock in block mode holds off sleep,
// power-off, idle actions and the lid, power and suspend keys for as long as its
// descriptor is open. Without a system bus, UPower or logind the programs go on, and
// each thing that could not be done is one line through the note.

#include <string>

#include "platform/machine_power.h"

namespace morv {

class LogindMachinePower : public MachinePower {
 public:
  /// `who` names the program in logind's list of inhibitors; `note` gets one line for
  /// each check or hold that the system could not give.
  LogindMachinePower(std::string who, PowerNote note);
  /// Drops an inhibitor still held.
  ~LogindMachinePower() override;

  PowerSupply Supply() override;
  /// Takes the inhibitor lock; one held already is kept.
  void BeginKeepAwake() override;
  void EndKeepAwake() override;

 private:
  std::string m_who;
  PowerNote m_note;
  /// The inhibitor's descriptor while held; closing it drops the lock.
  int m_inhibitor = -1;
};

}  // namespace morv
