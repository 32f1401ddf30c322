#pragma once
// Our pass-through records against the system's own declarations (ntddscsi.h): a
// record is handed to DeviceIoControl as it stands, so every field must sit where
// the system reads it, for 32- and 64-bit programs alike.

#include <windows.h>
#include <ntddscsi.h>

#include <cstddef>

#include "platform/pass_through_system.h"

namespace morv::win32 {

#define MORV_SAME_FIELD(ours, theirs, field) \
  static_assert(offsetof(ours, field) == offsetof(theirs, field) && \
                sizeof(ours::field) == sizeof(theirs::field), #field)

MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, Length);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, ScsiStatus);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, PathId);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, TargetId);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, Lun);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, CdbLength);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, SenseInfoLength);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, DataIn);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, DataTransferLength);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, TimeOutValue);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, DataBuffer);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, SenseInfoOffset);
MORV_SAME_FIELD(ScsiPassThroughDirect, SCSI_PASS_THROUGH_DIRECT, Cdb);
static_assert(sizeof(ScsiPassThroughDirect) == sizeof(SCSI_PASS_THROUGH_DIRECT));

MORV_SAME_FIELD(IoScsiCapabilities, IO_SCSI_CAPABILITIES, Length);
MORV_SAME_FIELD(IoScsiCapabilities, IO_SCSI_CAPABILITIES, MaximumTransferLength);
MORV_SAME_FIELD(IoScsiCapabilities, IO_SCSI_CAPABILITIES, MaximumPhysicalPages);
MORV_SAME_FIELD(IoScsiCapabilities, IO_SCSI_CAPABILITIES, SupportedAsynchronousEvents);
MORV_SAME_FIELD(IoScsiCapabilities, IO_SCSI_CAPABILITIES, AlignmentMask);
MORV_SAME_FIELD(IoScsiCapabilities, IO_SCSI_CAPABILITIES, TaggedQueuing);
MORV_SAME_FIELD(IoScsiCapabilities, IO_SCSI_CAPABILITIES, AdapterScansDown);
MORV_SAME_FIELD(IoScsiCapabilities, IO_SCSI_CAPABILITIES, AdapterUsesPio);
static_assert(sizeof(IoScsiCapabilities) == sizeof(IO_SCSI_CAPABILITIES));

static_assert(IOCTL_SCSI_PASS_THROUGH_DIRECT == 0x4D014);
static_assert(IOCTL_SCSI_GET_CAPABILITIES == 0x41010);
static_assert(SCSI_IOCTL_DATA_OUT == kDataOut && SCSI_IOCTL_DATA_IN == kDataIn &&
              SCSI_IOCTL_DATA_UNSPECIFIED == kDataUnspecified);

#undef MORV_SAME_FIELD

}  // namespace morv::win32
