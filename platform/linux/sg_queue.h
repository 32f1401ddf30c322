#pragma once
// Handing a command to the sg driver's queue and taking its answer back, on a
// descriptor of an sg node, for both Linux backends. How long to wait for an answer
// is each backend's own (the pass-through system polls per request, the ASPI
// manager's completion thread polls all its nodes).

#include <scsi/sg.h>

namespace morv::sg {

/// write() of `header` to `fd`: 0 when the driver took the command, else the errno
/// of its refusal. The driver takes a header whole or refuses it before it queues
/// anything, so an interrupted write() is written again and the command still goes
/// out once; any count back means it was taken, and its answer will come.
int SubmitHeader(int fd, const sg_io_hdr_t& header);

/// read() of one finished command's header from `fd` into `answer`, its results
/// filled in and its data-in and sense copied to the buffers its command named: 0
/// when one was read, EAGAIN when none is waiting on a non-blocking descriptor, else
/// the errno of the failed read (EIO for a short one; ENODEV when the device went
/// away). An interrupted read() is read again.
int ReadAnswer(int fd, sg_io_hdr_t& answer);

}  // namespace morv::sg
