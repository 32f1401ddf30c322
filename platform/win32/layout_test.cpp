// The records handed to the system, at the offsets the published declarations give
// for this program's word size; run in both the 32- and the 64-bit build.

#include <gtest/gtest.h>

#include <cstddef>

#include "platform/aspi_manager.h"
#include "platform/pass_through_system.h"
#include "platform/win32/aspi_layout.h"
#include "platform/win32/pass_through_layout.h"

namespace morv::win32 {
namespace {

struct Field {
  const char* name;
  size_t offset;
  size_t expected32;
  size_t expected64;
};

void ExpectAt(const std::vector<Field>& fields) {
  for (const Field& f : fields)
    EXPECT_EQ(f.offset, sizeof(void*) == 4 ? f.expected32 : f.expected64) << f.name;
}

TEST(RecordLayout, PassThroughDirectAsPublished) {
  ExpectAt({
      {"Length", offsetof(ScsiPassThroughDirect, Length), 0, 0},
      {"ScsiStatus", offsetof(ScsiPassThroughDirect, ScsiStatus), 2, 2},
      {"CdbLength", offsetof(ScsiPassThroughDirect, CdbLength), 6, 6},
      {"DataIn", offsetof(ScsiPassThroughDirect, DataIn), 8, 8},
      {"DataTransferLength", offsetof(ScsiPassThroughDirect, DataTransferLength), 12, 12},
      {"TimeOutValue", offsetof(ScsiPassThroughDirect, TimeOutValue), 16, 16},
      {"DataBuffer", offsetof(ScsiPassThroughDirect, DataBuffer), 20, 24},
      {"SenseInfoOffset", offsetof(ScsiPassThroughDirect, SenseInfoOffset), 24, 32},
      {"Cdb", offsetof(ScsiPassThroughDirect, Cdb), 28, 36},
      {"sizeof request", sizeof(ScsiPassThroughDirect), 44, 56},
      {"sense area", offsetof(PassThroughRecord, sense), 48, 60},
      {"sizeof record", sizeof(PassThroughRecord), 80, 96},
      {"sizeof IO_SCSI_CAPABILITIES", sizeof(IoScsiCapabilities), 24, 24},
  });
}

TEST(RecordLayout, AspiBlocksAsPublished) {
  ExpectAt({
      {"HA_Identifier", offsetof(SRB_HAInquiry, HA_Identifier), 26, 26},
      {"sizeof SRB_HAInquiry", sizeof(SRB_HAInquiry), 60, 60},
      {"SRB_BufPointer", offsetof(SRB_ExecSCSICmd, SRB_BufPointer), 16, 16},
      {"SRB_SenseLen", offsetof(SRB_ExecSCSICmd, SRB_SenseLen), 20, 24},
      {"SRB_TargStat", offsetof(SRB_ExecSCSICmd, SRB_TargStat), 23, 27},
      {"SRB_PostProc", offsetof(SRB_ExecSCSICmd, SRB_PostProc), 24, 28},
      {"CDBByte", offsetof(SRB_ExecSCSICmd, CDBByte), 48, 60},
      {"SenseArea", offsetof(SRB_ExecSCSICmd, SenseArea), 64, 76},
      {"sizeof SRB_ExecSCSICmd", sizeof(SRB_ExecSCSICmd), 80, 92},
      {"SRB_ToAbort", offsetof(SRB_Abort, SRB_ToAbort), 8, 8},
      {"sizeof SRB_Abort", sizeof(SRB_Abort), 12, 16},
  });
}

}  // namespace
}  // namespace morv::win32
