#include "platform/linux/aspi_linux_sysfs.h"

#include <gtest/gtest.h>

#include "platform/linux/aspi_linux_fake_sysfs.h"

namespace morv::linux_aspi {
namespace {

TEST(ParseScsiAddress, AcceptsOnlyFourDecimalFields) {
  struct Case {
    const char* text;
    bool ok;
    ScsiAddress expected;
  };
  const Case cases[] = {
      {"0:0:5:0", true, {0, 0, 5, 0}},
      {"12:3:15:65536", true, {12, 3, 15, 65536}},
      {"0:0:5", false, {}},
      {"0:0:5:0:1", false, {}},
      {"0:0:-1:0", false, {}},
      {"a:0:0:0", false, {}},
      {"0:0:5:0 ", false, {}},
      {"0::5:0", false, {}},
      {"", false, {}},
      {"host0", false, {}},
  };
  for (const auto& c : cases) {
    auto parsed = ParseScsiAddress(c.text);
    ASSERT_EQ(parsed.has_value(), c.ok) << '"' << c.text << '"';
    if (c.ok) {
      EXPECT_EQ(*parsed, c.expected) << c.text;
    }
  }
}

TEST(OwnIdFromThisId, UsesTheHostsIdOrSeven) {
  const std::pair<const char*, int> cases[] = {
      {"7\n", 7}, {"0\n", 0}, {"15", 15}, {"255\n", 255}, {"-1\n", 7}, {"256", 7}, {"x", 7}, {"", 7},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(OwnIdFromThisId(text), expected) << '"' << text << '"';
}

TEST(SysfsScan, ListsNodesByNumberAndHostsThatHaveNodes) {
  FakeSysfs sysfs;
  sysfs.AddNode("sg10", "0:1:5:0");
  sysfs.AddNode("sg0", "0:0:0:0");
  sysfs.AddNode("sg3", "1:0:0:0");
  sysfs.AddNode("sg1", "0:0:3:0");
  sysfs.AddNode("sg2", "enclosure");  // no address: left out
  sysfs.AddNode("bsg0", "4:0:0:0");   // not an sg node
  sysfs.AddHost(0, "sym53c8xx\n", "7\n");
  sysfs.AddHost(1, "scsi_debug\n", "-1\n");
  sysfs.AddHost(2, "ata_piix\n", "7\n");  // no sg node: not an adapter

  auto nodes = ReadSgNodes(sysfs.Root());
  std::vector<std::string> names;
  for (const auto& node : nodes) names.push_back(node.name);
  EXPECT_EQ(names, (std::vector<std::string>{"sg0", "sg1", "sg3", "sg10"}));
  EXPECT_EQ(nodes[3].address, (ScsiAddress{0, 1, 5, 0}));

  auto adapters = ReadHostAdapters(sysfs.Root(), nodes);
  ASSERT_EQ(adapters.size(), 2u);
  EXPECT_EQ(adapters[0].hostNumber, 0u);
  EXPECT_EQ(adapters[0].procName, "sym53c8xx");
  EXPECT_EQ(adapters[0].ownId, 7);
  EXPECT_EQ(adapters[1].hostNumber, 1u);
  EXPECT_EQ(adapters[1].procName, "scsi_debug");
  EXPECT_EQ(adapters[1].ownId, 7);
}

TEST(SysfsScan, HostWithoutSysfsEntryAndMissingTreeReadAsEmpty) {
  FakeSysfs sysfs;
  sysfs.AddNode("sg0", "3:0:2:0");
  auto adapters = ReadHostAdapters(sysfs.Root(), ReadSgNodes(sysfs.Root()));
  ASSERT_EQ(adapters.size(), 1u);
  EXPECT_EQ(adapters[0].hostNumber, 3u);
  EXPECT_EQ(adapters[0].procName, "");
  EXPECT_EQ(adapters[0].ownId, 7);

  EXPECT_TRUE(ReadSgNodes(sysfs.Root() / "nothing-here").empty());
}

TEST(NodesAt, MatchesHostTargetAndLunWithChannelZeroFirst) {
  const std::vector<SgNode> nodes = {
      {"sg0", {0, 1, 5, 0}}, {"sg1", {0, 0, 5, 1}}, {"sg2", {0, 0, 5, 0}},
      {"sg3", {1, 0, 5, 0}}, {"sg4", {0, 2, 5, 0}},
  };
  struct Case {
    uint32_t host, target;
    uint64_t lun;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {0, 5, 0, {"sg2", "sg0", "sg4"}},
      {0, 5, 1, {"sg1"}},
      {1, 5, 0, {"sg3"}},
      {0, 4, 0, {}},
      {2, 5, 0, {}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> names;
    for (const auto& node : NodesAt(nodes, c.host, c.target, c.lun)) names.push_back(node.name);
    EXPECT_EQ(names, c.expected) << c.host << ":" << c.target << ":" << c.lun;
  }
}

}  // namespace
}  // namespace morv::linux_aspi
