// Morvantide4: reaches the drive by host adapter, target ID and LUN.

#include <cstdio>
#include <string>

#include "apps/programs.h"
#include "platform/private_profile.h"
#include "apps/aspi_stack.h"
#include "ui/host_adapters.h"
#include "ui/resources.h"

namespace morv {
namespace {

/// What outlives every dialog: the transport's stack, the device-name tables and the profile.
struct HostAdapterDevices {
  std::unique_ptr<AspiStack> stack;
  DeviceNameTables tables;
  PrivateProfile profile;
};

}  // namespace

const ProgramDefinition& Program4() {
  static const ProgramDefinition program{
      "Morvantide4",
      "4.1.0",
      "Flashes the firmware of a KESTREL MX-R4410 DVD-RAM drive chosen by host adapter, target ID and LUN.",
      Resources4(),
      [](const ProgramOptions& options, CommandTrace* trace, Feedback& feedback, const std::string& title) {
        auto devices = std::make_shared<HostAdapterDevices>(HostAdapterDevices{
            MakeAspiStack(options.simulate, feedback, trace,
                          [title](const std::string& line) { std::fprintf(stderr, "%s: %s\n", title.c_str(), line.c_str()); }),
            {}, PrivateProfile(PrivateProfile::DefaultPath(title))});
        return DeviceAccess{
            std::shared_ptr<Transport>(devices, devices->stack->transport.get()),  // keeps the manager alive with it
            [devices](CScsiDrive& drive, Feedback& feedback) {
              return std::make_unique<HostAdapterSelection>(drive, feedback, *devices->stack->transport,
                                                            *devices->stack->claims,
                                                            devices->tables, devices->profile);
            },
        };
      },
  };
  return program;
}

}  // namespace morv
