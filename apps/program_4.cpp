// Morvantide4: reaches the drive by host adapter, target ID and LUN.

#include "apps/interim_device_access.h"
#include "apps/programs.h"
#include "ui/resources.h"

namespace morv {

const ProgramDefinition& Program4() {
  static const ProgramDefinition program{
      "Morvantide4",
      "4.1.0",
      "Flashes the firmware of a KESTREL MX-R4410 DVD-RAM drive chosen by host adapter, target ID and LUN.",
      Resources4(),
      [](const ProgramOptions&, CommandTrace*) { return std::make_unique<RefusingTransport>(ProgramKind::Four); },
      [](CScsiDrive&, Feedback&) { return std::make_unique<EmptySelection>(); },
  };
  return program;
}

}  // namespace morv
