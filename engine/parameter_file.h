#pragma once
// The parameter file (.OUC) of a firmware package: ten fields of text naming the
// format version, the drive model, three region flags and the image checksum.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace morv {

/// The fields of one parameter file as read, each starting empty.
struct ParameterFile {
  std::string header;        ///< field 1, at most 36 characters
  std::string model;         ///< field 2, at most 21 characters
  std::string region1;       ///< field 4, at most 3 characters
  std::string region2;       ///< field 6, at most 3 characters
  std::string region3;       ///< field 8, at most 3 characters
  std::string checksumText;  ///< field 10, at most 36 characters
  int32_t checksum = 0;      ///< checksumText parsed by ParseChecksum
};

/// Field limits for ReadField; a field keeps at most limit + 1 characters.
inline constexpr int kTextFieldLimit = 35;
inline constexpr int kModelFieldLimit = 20;
inline constexpr int kRegionFieldLimit = 2;

/// How many bytes of a parameter file are read at most. A real one is a few hundred
/// bytes of text; a file whose ten fields have not ended by then reads as one that
/// ended early ("End of File"), instead of being read to its end however large.
inline constexpr std::size_t kParameterFileByteLimit = 64 * 1024;

/// The header of every package this program understands starts with kHeaderPrefix
/// and ends with kHeaderVersion.
inline constexpr std::string_view kHeaderPrefix = "MorvantideParameterFile Ver.";
inline constexpr std::string_view kHeaderVersion = "4.00";

/// True when `header` starts with kHeaderPrefix and ends with kHeaderVersion, the two
/// not overlapping (so at least 32 characters).
bool HeaderMatches(std::string_view header);

/// True when a region flag selects its region: exactly the text "1".
inline bool RegionSelected(std::string_view flag) { return flag == "1"; }

/// The three region flags of `parameters` as selections, region 1 first.
std::array<bool, 3> SelectedRegions(const ParameterFile& parameters);

/// Parses a checksum text the way atol does: leading white space, an optional sign,
/// decimal digits up to the first non-digit; no digits gives 0. A value beyond the
/// 32-bit range saturates, so no overlong text can wrap round to a valid image sum.
int32_t ParseChecksum(std::string_view text);

}  // namespace morv
