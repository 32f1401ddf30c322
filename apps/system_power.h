#pragma once
// The machine's power as this system offers it, one backend per system:
// apps/linux/ (UPower and logind over the system bus) and apps/windows/ (the power
// status and the thread's execution state). The programs use it with real and with
// emulated drives alike: the machine is real either way.

#include <memory>
#include <string>

#include "platform/machine_power.h"

namespace morv {

/// `programName` names the program to the system; `note` gets what could not be done.
std::unique_ptr<MachinePower> MakeSystemMachinePower(const std::string& programName, PowerNote note);

}  // namespace morv
