#pragma once
// Both programs, whole, against a drive whose answers come from an input: discovery
// when the dialog opens, one press of Update Start, a rescan, and the dialog closed,
// on the scripted toolkit and each program's own transport and selection half. What
// the programs showed and what reached the drive is then held to the promises every
// update keeps, whatever the drive answered.
//
// Input: byte 0 chooses the package's regions (bits 0-2 clear select regions 1-3)
// and, with bit 3, the operator's No to the question; the rest is the drive's answer
// script (sim/answer_script_device.h). An empty input runs a sound update of every
// region.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace morv::fuzz {

/// What one input led to.
struct DriveAnswersReport {
  /// Every broken promise, "MorvantideNT: ..." or "Morvantide4: ...": empty when all held.
  std::vector<std::string> problems;
  /// The boxes each program showed, in order.
  std::vector<std::string> boxesNT, boxes4;
};

/// Runs MorvantideNT (the drive at E:) and then Morvantide4 (the drive at target 2 of
/// the emulated bus) over `input`, in a package directory of their own, and checks
/// them. Not reentrant: the current directory is changed for the duration.
DriveAnswersReport CheckDriveAnswers(std::span<const uint8_t> input);

}  // namespace morv::fuzz
