#include "ui/drive_claim_text.h"

namespace morv {

std::string ClaimRefusalText(const ClaimOutcome& claim, const std::string& errorText) {
  switch (claim.status) {
    case ClaimStatus::UpdatedElsewhere:
      return "This drive is being updated by another program.\n"
             "Wait until that update has ended; do not start another one meanwhile.";
    case ClaimStatus::HeldElsewhere:
      return "This drive is in use by " + claim.holder +
             ".\nUnmount or eject the disc, or close the program that uses the drive, then press Update Start "
             "again.";
    case ClaimStatus::Failed:
    case ClaimStatus::Claimed:
      break;
  }
  return errorText;
}

}  // namespace morv
