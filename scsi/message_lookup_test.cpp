// The lookups over the message tables, and the shape of the tables themselves:
// one terminator at the end, where the search stops and the fallback lives.

#include <gtest/gtest.h>

#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "scsi/message_lookup.h"
#include "scsi/message_tables.h"

namespace morv {
namespace {

/// A program's target-status table in miniature (each transport keeps its own).
constexpr StatusTextEntry kSampleStatusTable[] = {{0x02, "Check Condition."}, {0x04, "Condition Met."}, {0x00, ""}};

struct StatusTableShape {
  const char* name;
  std::span<const StatusTextEntry> table;
  size_t size;
  const char* first;
  const char* last;  ///< the terminator's text
};

TEST(MessageTablesTest, StatusTablesEndInTheirOnlyTerminator) {
  const std::vector<StatusTableShape> tables = {
      {"srb", kSrbStatusTable, 9, "Aborted.", "Timeout."},
      {"ha", kHaStatusTable, 5, "Selection timeout.", ""},
      {"sense key", kSenseKeyTable, 16, "RECOVERED ERROR", "NO SENSE"},
      {"vendor", kVendorErrorTable, 31, "DSP ROM ERROR", "NO ERROR"},
  };
  for (const auto& t : tables) {
    SCOPED_TRACE(t.name);
    ASSERT_EQ(t.table.size(), t.size);
    EXPECT_STREQ(t.table.front().text, t.first);
    EXPECT_EQ(t.table.back().code, 0x00);
    EXPECT_STREQ(t.table.back().text, t.last);
    for (size_t i = 0; i + 1 < t.table.size(); ++i) {
      EXPECT_NE(t.table[i].code, 0x00) << "entry " << i << " would end the search early";
      EXPECT_LE(std::strlen(t.table[i].text), 60u);
    }
  }
}

TEST(MessageTablesTest, SenseCodeTableKeepsItsCatchAllsDuplicateAndTerminator) {
  ASSERT_EQ(kSenseCodeTable.size(), 237u);
  EXPECT_EQ(kSenseCodeTable.front().asc, 0x00);
  EXPECT_STREQ(kSenseCodeTable.front().text, "NO ADDITIONAL SENSE INFORMATION");
  EXPECT_EQ(kSenseCodeTable.back().asc, 0xFF);
  EXPECT_STREQ(kSenseCodeTable.back().text, "UNKNOWN ERROR CODE");
  EXPECT_STREQ(kSenseCodeTable[kSenseCodeTable.size() - 2].text, "DRIVE HARDWARE ERROR");

  std::vector<uint8_t> catchAllAscs;
  int mediumRemoval = 0;
  for (size_t i = 0; i + 1 < kSenseCodeTable.size(); ++i) {
    const auto& e = kSenseCodeTable[i];
    EXPECT_NE(e.asc, 0xFF) << "entry " << i << " would end the search early";
    EXPECT_LE(std::strlen(e.text), 60u) << e.text;
    if (e.ascq == 0xFF) catchAllAscs.push_back(e.asc);
    if (e.asc == 0x53 && e.ascq == 0x02) ++mediumRemoval;
    if (i > 0) {
      const auto& p = kSenseCodeTable[i - 1];
      EXPECT_LE(p.asc * 256 + p.ascq, e.asc * 256 + e.ascq) << "out of order at entry " << i;
    }
  }
  EXPECT_EQ(catchAllAscs, (std::vector<uint8_t>{0x5D, 0x80}));
  EXPECT_EQ(mediumRemoval, 2);
}

TEST(MessageLookupTest, StatusLookupsFallBackAsEachTableSays) {
  struct Case {
    std::string got, expected;
  };
  const std::vector<Case> cases = {
      {HaStatusText(0x11), "Selection timeout."},
      {HaStatusText(0x20), "Unknown Ha status:20"},
      {HaStatusText(0x00), "Unknown Ha status:00"},
      {HaStatusText(0xFF), "Unknown Ha status:FF"},
      {TargetStatusText(0x04, kSampleStatusTable), "Condition Met."},
      {TargetStatusText(0x0A, kSampleStatusTable), "Unknown Target status:0A"},
      {TargetStatusText(0x00, kSampleStatusTable), "Unknown Target status:00"},
      {SenseDetail(0x24, 0x90, "A5"), " 24-90 (A5)"},
      {SenseDetail(0x00, 0xFF, ""), " 00-FF ()"},
      {SenseKeyText(0), "NO SENSE"},
      {SenseKeyText(9), "unknown code"},
      {SenseKeyText(0x0F), "unknown code"},
      {SenseKeyText(0x10), "NO SENSE"},
      {VendorErrorText(0xA0), "DSP ROM ERROR"},
      {VendorErrorText(0xF1), "SPINDLE MOTOR ERROR"},
      {VendorErrorText(0xA9), "NO ERROR"},
      {VendorErrorText(0x00), "NO ERROR"},
      {SrbStatusText(0xE6), "Buffer size is too big."},
      {SrbStatusText(0x00), "Timeout."},
      {SrbStatusText(0x80), "Timeout."},
  };
  for (size_t i = 0; i < cases.size(); ++i) EXPECT_EQ(cases[i].got, cases[i].expected) << "case " << i;
}

TEST(MessageLookupTest, SenseCodeTextPrefersTheFirstMatchAndNamesCatchAllQualifiers) {
  struct Case {
    uint8_t asc, ascq;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {0x00, 0x00, "NO ADDITIONAL SENSE INFORMATION"},
      {0x29, 0x00, "POWER ON, RESET, OR BUS DEVICE RESET OCCURRED"},
      {0x29, 0x05, "UNKNOWN ERROR CODE"},
      {0x53, 0x02, "MEDIUM REMOVAL PREVENTED"},
      {0x5D, 0x00, "THRESHOLD EXCEEDED-Predicted Logical Unit Failure"},
      {0x5D, 0x02, "FAILURE PREDICTION THRESHOLD EXCEEDED (FALSE)(2)"},
      {0x5D, 0xC8, "FAILURE PREDICTION THRESHOLD EXCEEDED (FALSE)(200)"},
      {0x5D, 0xFF, "FAILURE PREDICTION THRESHOLD EXCEEDED (FALSE)"},
      {0x80, 0x07, "DRIVE HARDWARE ERROR(7)"},
      {0x80, 0x00, "DRIVE HARDWARE ERROR(0)"},
      {0x24, 0x90, "UNKNOWN ERROR CODE"},
      {0x7F, 0x00, "UNKNOWN ERROR CODE"},
      {0xFF, 0xFF, "UNKNOWN ERROR CODE"},
      {0xFF, 0x00, "UNKNOWN ERROR CODE"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(SenseCodeText(c.asc, c.ascq), c.expected) << std::hex << int(c.asc) << " " << int(c.ascq);
}

}  // namespace
}  // namespace morv
