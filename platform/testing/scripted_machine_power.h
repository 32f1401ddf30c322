#pragma once
// The machine's power for tests: the supply is what the test sets, and the hold only
// counts, so a test can ask at any moment whether the machine is being kept awake.

#include <functional>

#include "platform/machine_power.h"

namespace morv::testing {

class ScriptedMachinePower : public MachinePower {
 public:
  PowerSupply Supply() override {
    ++supplyReads;
    return supply;
  }
  void BeginKeepAwake() override {
    ++holdsTaken;
    held = true;
    if (onChange) onChange();
  }
  void EndKeepAwake() override {
    held = false;
    if (onChange) onChange();
  }

  PowerSupply supply;   ///< what Supply answers
  int supplyReads = 0;  ///< how often it was asked
  int holdsTaken = 0;   ///< how often the machine was kept awake
  bool held = false;    ///< whether it is kept awake now
  std::function<void()> onChange;  ///< runs after the hold is taken or dropped
};

}  // namespace morv::testing
