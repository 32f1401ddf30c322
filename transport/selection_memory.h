#pragma once
// Morvantide4's remembered selection: selector positions, not addresses. One host
// adapter position, a device position per adapter position and a LUN position per
// adapter and device position, kept in the private profile between runs:
//   [HostAdaptor] ID=<adapter position>
//   [TargetID]    "HA<a> "=<device position of adapter position a>   (the key ends in a space)
//   [TargetLUN]   HA<a>_ID<t>=<LUN position of adapter position a, device position t>
// Values come from a file anyone can edit, so every table access is guarded.

#include <array>
#include <string>

namespace morv {

class PrivateProfile;

struct SelectionMemory {
  /// Positions 0 to 7 index the tables.
  static constexpr int kPositions = 8;

  int haPosition = 0;
  std::array<int, kPositions> targetPosition{};
  std::array<std::array<int, kPositions>, kPositions> lunPosition{};

  /// Every position back to 0.
  void Clear();

  /// Whether `position` indexes the tables.
  static bool InTable(int position) { return position >= 0 && position < kPositions; }
  /// The device position remembered for adapter position `ha`; CB_ERR (a position
  /// no selector has) when `ha` is outside the tables.
  int TargetPosition(int ha) const;
  /// The LUN position remembered for (`ha`, `target`); CB_ERR outside the tables.
  int LunPosition(int ha, int target) const;
  /// Remembers a device position; ignored when `ha` is outside the tables.
  void SetTargetPosition(int ha, int position);
  /// Remembers a LUN position; ignored when (`ha`, `target`) is outside the tables.
  void SetLunPosition(int ha, int target, int position);

  /// Reads the 73 values (LUN positions and device position per adapter position,
  /// then the adapter position); a missing or unreadable value reads as 0.
  void LoadSelection(const PrivateProfile& profile);
  /// Writes all 73 values as decimal text, in one replacement of the file: the
  /// adapter position, then per adapter position its device position followed by
  /// its eight LUN positions. Returns false, with `error` set, when it cannot.
  bool SaveSelection(PrivateProfile& profile, std::string& error) const;
};

}  // namespace morv
