// MorvantideNT: reaches the drive by its drive letter.

#include <iostream>

#include "apps/programs.h"
#include "ui/drive_letters.h"
#include "apps/pass_through_stack.h"
#include "ui/resources.h"

namespace morv {

const ProgramDefinition& ProgramNT() {
  static const ProgramDefinition program{
      "MorvantideNT",
      "1.0.0",
      "Flashes the firmware of a KESTREL MX-R4410 DVD-RAM drive chosen by drive letter.",
      ResourcesNT(),
      [](const ProgramOptions& options, CommandTrace* trace, Feedback&, const std::string& title) {
        // The device table lives in the transport, so it outlives every dialog.
        std::shared_ptr<PassThroughStack> stack = MakePassThroughStack(options.simulate, trace);
        return DeviceAccess{
            std::shared_ptr<Transport>(stack, stack->transport.get()),  // keeps the system alive with it
            [stack, title](CScsiDrive& drive, Feedback& feedback) {
              return std::make_unique<DriveLetterSelection>(drive, feedback, *stack->transport, std::cerr, title);
            },
        };
      },
  };
  return program;
}

}  // namespace morv
