#pragma once
// Each program's resources: main dialog, about box, menu, strings, icons and the
// start-up notice.

#include "framework/resource_types.h"

namespace morv {

/// MorvantideNT: drives by drive letter.
const ProgramResources& ResourcesNT();
/// Morvantide4: drives by host adapter, target ID and LUN.
const ProgramResources& Resources4();

}  // namespace morv
