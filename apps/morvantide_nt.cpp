// MorvantideNT: reaches the drive by its drive letter.

#include "apps/interim_device_access.h"
#include "apps/program_main.h"
#include "ui/resources.h"

int main(int argc, char** argv) {
  using namespace morv;
  ProgramDefinition program{
      "MorvantideNT",
      "1.0.0",
      "Flashes the firmware of a KESTREL MX-R4410 DVD-RAM drive chosen by drive letter.",
      ResourcesNT(),
      [] { return std::make_unique<RefusingTransport>(ProgramKind::NT); },
      [](CScsiDrive&, Feedback&) { return std::make_unique<EmptySelection>(); },
  };
  return ProgramMain(program, argc, argv);
}
