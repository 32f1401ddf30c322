#pragma once
// How the command line names a drive: the way MorvantideNT reaches it, a drive letter
// ("E:", or its sg node "/dev/sg4", the same letter), or the way Morvantide4 reaches
// it, host adapter, target ID and LUN ("0:2:0").

#include <cstdint>
#include <optional>
#include <string>

#include "scsi/transport.h"

namespace morv {

struct DriveArgument {
  enum class Way { Letter, Adapter } way = Way::Letter;
  char letter = 0;  ///< 'A' to 'Z' for Way::Letter
  uint8_t hostAdapter = 0, targetId = 0, lun = 0;  ///< for Way::Adapter: 0-7 each

  /// "E:" or "0:2:0": how the drive is named in the list and the history.
  std::string Text() const;
  /// The address the drive is reached at.
  DriveAddress Address() const {
    return way == Way::Letter ? DriveAddress::Letter(letter) : DriveAddress::Target(hostAdapter, targetId, lun);
  }
};

/// `text` read as a drive: "E:" (any case), "/dev/sgN" for N 0 to 25 (the letter
/// 'A' + N), or "A:T:L" with each a digit 0 to 7. nullopt for anything else.
std::optional<DriveArgument> ParseDriveArgument(const std::string& text);

}  // namespace morv
