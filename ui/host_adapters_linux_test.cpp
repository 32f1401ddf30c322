// Morvantide4's profile as the Linux profile stand-in writes it (on Windows the
// system's profile functions decide the file's bytes).
#include <gtest/gtest.h>

#include <string>

#include "ui/resource_ids.h"
#include "ui/testing/adapter_run.h"

namespace morv {
namespace {

using Act = ScriptedToolkit;
using testing::AdapterRun;
using testing::TestBus;
using testing::TwoAdapters;

TEST(HostAdapterProfile, TheValuesAreWrittenInOrderEachKeyAtTheEndOfItsSection) {
  TestBus bus = TwoAdapters();
  AdapterRun run(bus);
  run.Run({Act::Choose(IDC_HOST_ADAPTER, 1), Act::Choose(IDC_DEVICE, 1), Act::Notify(IDC_LUN, CBN_SELCHANGE)});

  // All 73 values, decimal, in the order they are written: each key is added at
  // the end of its section, and the sections appear as their first key is written.
  std::string expected = "[HostAdaptor]\nID=1\n[TargetID]\n";
  for (int ha = 0; ha < 8; ++ha) expected += "HA" + std::to_string(ha) + " =" + (ha == 1 ? "1" : "0") + "\n";
  expected += "[TargetLUN]\n";
  for (int ha = 0; ha < 8; ++ha)
    for (int target = 0; target < 8; ++target)
      expected += "HA" + std::to_string(ha) + "_ID" + std::to_string(target) + "=0\n";
  EXPECT_EQ(run.ProfileText(), expected);
}

}  // namespace
}  // namespace morv
