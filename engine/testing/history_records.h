#pragma once
// A sample record of a completed update, and a history file read back line by line.

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "engine/update_history.h"

namespace morv::testing {

inline UpdateRecord Completed() {
  UpdateRecord record;
  record.time = std::chrono::system_clock::time_point(std::chrono::seconds(1796707800));  // 2026-12-08T05:30:00Z
  record.driveAddress = "E:";
  record.identification = "KESTREL MX-R4410";
  record.versionBefore = "1.00";
  record.parameterFile = "R4410.OUC";
  record.checksumField = "66785321";
  record.regions = "1,2,3";
  record.confirmed = true;
  record.outcome = kOutcomeComplete;
  record.versionAfter = "1.05";
  record.packagePath = "/srv/fw/R4410.OUC";
  record.imageSha256 = "9f86d081884c7d659a2feaa0c55ad015a3bf4f1b2b0b822cd15d6c15b0f00a08";
  record.node = "/dev/sg4";
  record.scsiAddress = "2:0:0:0";
  return record;
}

/// The lines of the file at `path`, without their line ends.
inline std::vector<std::string> Lines(const std::string& path) {
  std::ifstream in(path);
  std::vector<std::string> lines;
  for (std::string line; std::getline(in, line);) lines.push_back(line);
  return lines;
}

}  // namespace morv::testing
