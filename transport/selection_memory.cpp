#include "transport/selection_memory.h"

#include <cstdio>
#include <vector>

#include "platform/private_profile.h"
#include "framework/win32_types.h"

namespace morv {
namespace {

constexpr const char* kHostAdaptorSection = "HostAdaptor";
constexpr const char* kTargetIdSection = "TargetID";
constexpr const char* kTargetLunSection = "TargetLUN";
constexpr const char* kHostAdaptorKey = "ID";

std::string TargetKey(int ha) {
  char key[16];
  std::snprintf(key, sizeof key, "HA%d ", ha);
  return key;
}

std::string LunKey(int ha, int target) {
  char key[24];
  std::snprintf(key, sizeof key, "HA%d_ID%d", ha, target);
  return key;
}

}  // namespace

void SelectionMemory::Clear() {
  haPosition = 0;
  targetPosition.fill(0);
  for (auto& row : lunPosition) row.fill(0);
}

int SelectionMemory::TargetPosition(int ha) const { return InTable(ha) ? targetPosition[ha] : CB_ERR; }

int SelectionMemory::LunPosition(int ha, int target) const {
  return InTable(ha) && InTable(target) ? lunPosition[ha][target] : CB_ERR;
}

void SelectionMemory::SetTargetPosition(int ha, int position) {
  if (InTable(ha)) targetPosition[ha] = position;
}

void SelectionMemory::SetLunPosition(int ha, int target, int position) {
  if (InTable(ha) && InTable(target)) lunPosition[ha][target] = position;
}

void SelectionMemory::LoadSelection(const PrivateProfile& profile) {
  for (int ha = 0; ha < kPositions; ++ha) {
    for (int target = 0; target < kPositions; ++target)
      lunPosition[ha][target] = profile.GetInt(kTargetLunSection, LunKey(ha, target), 0);
    targetPosition[ha] = profile.GetInt(kTargetIdSection, TargetKey(ha), 0);
  }
  haPosition = profile.GetInt(kHostAdaptorSection, kHostAdaptorKey, 0);
}

bool SelectionMemory::SaveSelection(PrivateProfile& profile, std::string& error) const {
  std::vector<ProfileValue> values;
  values.push_back({kHostAdaptorSection, kHostAdaptorKey, std::to_string(haPosition)});
  for (int ha = 0; ha < kPositions; ++ha) {
    values.push_back({kTargetIdSection, TargetKey(ha), std::to_string(targetPosition[ha])});
    for (int target = 0; target < kPositions; ++target)
      values.push_back({kTargetLunSection, LunKey(ha, target), std::to_string(lunPosition[ha][target])});
  }
  // One replacement of the file for all 73: a crash never leaves half a selection.
  if (profile.WriteStrings(values)) return true;
  error = profile.Error();
  return false;
}

}  // namespace morv
