#include "platform/pass_through_system.h"

namespace morv {

DataDirection RecordDirection(const ScsiPassThroughDirect& request) {
  if (request.DataTransferLength == 0) return DataDirection::None;
  switch (request.DataIn) {
    case kDataOut: return DataDirection::Out;
    case kDataIn: return DataDirection::In;
    default: return DirectionFor(request.Cdb[0], request.DataTransferLength);
  }
}

bool WellFormed(const ScsiPassThroughDirect& request) {
  if (request.CdbLength == 0 || request.CdbLength > sizeof request.Cdb) return false;
  if (request.DataTransferLength != 0 && request.DataBuffer == nullptr) return false;
  if (request.DataIn > kDataUnspecified) return false;
  return request.SenseInfoLength <= kPassThroughSenseAreaSize;
}

}  // namespace morv
