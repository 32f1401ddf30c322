#pragma once
// Our ASPI request blocks against the published layout, field by field: the WNASPI32
// DLL reads and writes them where the published header puts each field, packed
// to the byte, with 4-byte pointers in 32-bit programs and 8-byte ones in 64-bit.

#include <cstddef>

#include "platform/aspi_manager.h"

namespace morv::win32 {

inline constexpr size_t kPointer = sizeof(void*);

static_assert(offsetof(SRB_HAInquiry, HA_Count) == 8);
static_assert(offsetof(SRB_HAInquiry, HA_SCSI_ID) == 9);
static_assert(offsetof(SRB_HAInquiry, HA_ManagerId) == 10);
static_assert(offsetof(SRB_HAInquiry, HA_Identifier) == 26);
static_assert(offsetof(SRB_HAInquiry, HA_Unique) == 42);
static_assert(offsetof(SRB_HAInquiry, HA_Rsvd1) == 58);
static_assert(sizeof(SRB_HAInquiry) == 60);

static_assert(offsetof(SRB_ExecSCSICmd, SRB_Target) == 8);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_Lun) == 9);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_BufLen) == 12);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_BufPointer) == 16);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_SenseLen) == 16 + kPointer);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_CDBLen) == 17 + kPointer);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_HaStat) == 18 + kPointer);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_TargStat) == 19 + kPointer);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_PostProc) == 20 + kPointer);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_Rsvd2) == 20 + 2 * kPointer);
static_assert(offsetof(SRB_ExecSCSICmd, SRB_Rsvd3) == 20 + 3 * kPointer);
static_assert(offsetof(SRB_ExecSCSICmd, CDBByte) == 36 + 3 * kPointer);
static_assert(offsetof(SRB_ExecSCSICmd, SenseArea) == 52 + 3 * kPointer);
static_assert(sizeof(SRB_ExecSCSICmd) == 68 + 3 * kPointer);  // 80 in a 32-bit program

static_assert(offsetof(SRB_Abort, SRB_ToAbort) == 8);
static_assert(sizeof(SRB_Abort) == 8 + kPointer);

}  // namespace morv::win32
