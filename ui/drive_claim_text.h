#pragma once
// What the operator reads when Update Start cannot have the drive to itself, in
// both programs.

#include <string>

#include "platform/drive_claim.h"

namespace morv {

/// The drive answered, but it is not the device the scan listed (another device took
/// its place, or it sits elsewhere now).
inline constexpr const char* kDriveNotListedText =
    "The selected drive is no longer the device that was found when the drives were listed.\n"
    "Choose Option > Rescan, select the drive again and press Update Start again.";

/// Why `claim` refused the update; `errorText` is the drive object's text for a
/// drive that could not be opened (ClaimStatus::Failed).
std::string ClaimRefusalText(const ClaimOutcome& claim, const std::string& errorText);

}  // namespace morv
