#pragma once
// How an update shows the operator what reading the package came to.

#include <cstdio>

#include "engine/read_package.h"
#include "framework/feedback.h"

namespace morv {

/// Shows `verdict` in the order the operator has always seen it: the checksum line on
/// `trace` (standard output in the programs; null for none) once the checksum field
/// was read, a file error on the status line, the busy cursor restored once both
/// files were read, then a failure's beep and box. Returns whether it was accepted.
bool ReportPackage(const PackageVerdict& verdict, const ParameterFile& parameters, Feedback& feedback,
                   std::FILE* trace);

}  // namespace morv
