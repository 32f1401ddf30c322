#pragma once
// What makes each program itself: its resources, transport and selection half.

#include "apps/program_main.h"

namespace morv {

const ProgramDefinition& ProgramNT();
const ProgramDefinition& Program4();

}  // namespace morv
