#include "platform/aligned_record.h"

#include <cstring>
#include <vector>

namespace morv {

bool CarryAligned(PassThroughRecord& record, uint32_t alignmentMask,
                  const std::function<bool(PassThroughRecord&)>& carry) {
  void* const callers = record.spt.DataBuffer;
  const uint32_t length = record.spt.DataTransferLength;
  if (length == 0 || callers == nullptr || (reinterpret_cast<uintptr_t>(callers) & alignmentMask) == 0)
    return carry(record);

  // Room for the data at the first address past the start that meets the mask.
  std::vector<uint8_t> room(length + size_t{alignmentMask});
  const uintptr_t start = reinterpret_cast<uintptr_t>(room.data());
  auto* aligned = reinterpret_cast<uint8_t*>((start + alignmentMask) & ~uintptr_t{alignmentMask});
  // The whole buffer goes in, so bytes a short data-in leaves alone come back unchanged.
  std::memcpy(aligned, callers, length);
  const bool dataIn = RecordDirection(record.spt) == DataDirection::In;
  record.spt.DataBuffer = aligned;
  const bool carried = carry(record);
  record.spt.DataBuffer = callers;
  if (carried && dataIn) std::memcpy(callers, aligned, length);
  return carried;
}

}  // namespace morv
