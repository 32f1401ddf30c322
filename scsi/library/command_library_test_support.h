#pragma once
// Shared by the command library's tests: a drive over the scripted transport, and
// rows of "call this method with these arguments, expect exactly this CDB".

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "scsi/library/command_library.h"
#include "scsi/testing/fake_transport.h"

namespace morv {

/// One call of a library method and the CDB it must send (hex bytes, spaces between).
struct CdbRow {
  std::string name;
  std::function<uint8_t(CScsiCommandLibrary&)> call;
  std::string cdb;
};

/// Rows show by name in test failures.
inline void PrintTo(const CdbRow& row, std::ostream* os) { *os << row.name; }

/// The rows of each command group, one or more per command.
std::vector<CdbRow> SixByteRows();
std::vector<CdbRow> TenByteRows();
std::vector<CdbRow> TwelveByteRows();
std::vector<CdbRow> VendorRows();

inline std::string HexBytes(const std::vector<uint8_t>& bytes) {
  std::string out;
  for (uint8_t b : bytes) {
    char text[4];
    std::snprintf(text, sizeof text, out.empty() ? "%02X" : " %02X", b);
    out += text;
  }
  return out;
}

/// MorvantideNT's drive over the scripted transport, with the library on top.
class LibraryFixture {
 public:
  FakeTransport transport{ProgramKind::NT};
  CScsiDrive drive{transport};
  CScsiCommandLibrary library{drive};

  /// Runs one row; checks it sent exactly one CDB with the command time-out and
  /// returned the transport's code; returns that CDB as hex.
  std::string Send(const CdbRow& row) {
    const size_t before = transport.sent.size();
    EXPECT_EQ(row.call(library), kCodeDone) << row.name;
    EXPECT_EQ(transport.sent.size(), before + 1) << row.name;
    if (transport.sent.size() != before + 1) return {};
    EXPECT_EQ(transport.sent.back().timeout, kCommandTimeout) << row.name;
    return HexBytes(transport.sent.back().cdb);
  }
};

class CdbRowTest : public ::testing::TestWithParam<CdbRow>, public LibraryFixture {};

inline std::string RowName(const ::testing::TestParamInfo<CdbRow>& info) { return info.param.name; }

}  // namespace morv
