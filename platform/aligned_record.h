#pragma once
// Data buffers for an adapter that wants them aligned. An adapter reports an
// alignment mask, the low address bits a data buffer must have clear (0 for none,
// 1 for 2-byte, 3 for 4-byte alignment and so on); a caller's buffer, a byte array
// aligned by chance, may not meet it, and the system then refuses the request or
// the adapter moves the data wrongly.

#include <cstdint>
#include <functional>

#include "platform/pass_through_system.h"

namespace morv {

/// Hands `record` to `carry` with its data buffer aligned to `alignmentMask` and
/// returns what `carry` returned. A buffer that meets the mask, or no data, goes as
/// it is; otherwise the data go through an aligned buffer of their own: copied in
/// before, copied back into the caller's buffer afterwards for a data-in request
/// (RecordDirection), and the record names the caller's buffer again at the end.
bool CarryAligned(PassThroughRecord& record, uint32_t alignmentMask,
                  const std::function<bool(PassThroughRecord&)>& carry);

}  // namespace morv
