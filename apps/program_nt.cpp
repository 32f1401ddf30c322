// MorvantideNT: reaches the drive by its drive letter.

#include "apps/interim_device_access.h"
#include "apps/programs.h"
#include "transport/pass_through_stack.h"
#include "ui/resources.h"

namespace morv {

const ProgramDefinition& ProgramNT() {
  static const ProgramDefinition program{
      "MorvantideNT",
      "1.0.0",
      "Flashes the firmware of a KESTREL MX-R4410 DVD-RAM drive chosen by drive letter.",
      ResourcesNT(),
      [](const ProgramOptions& options, CommandTrace* trace) {
        std::shared_ptr<PassThroughStack> stack = MakePassThroughStack(options.simulate, trace);
        return std::shared_ptr<Transport>(stack, stack->transport.get());  // keeps the system alive with it
      },
      [](CScsiDrive&, Feedback&) { return std::make_unique<EmptySelection>(); },
  };
  return program;
}

}  // namespace morv
