#include "platform/pass_through_system.h"

#include <cerrno>
#include <cstring>

namespace morv {

char DriveLetterOf(char letter) {
  if (letter >= 'a' && letter <= 'z') return static_cast<char>(letter - 'a' + 'A');
  return letter >= 'A' && letter <= 'Z' ? letter : 0;
}

std::string DevicePathOf(char letter) {
  const char drive = DriveLetterOf(letter);
  return drive == 0 ? std::string() : std::string("\\\\.\\") + drive + ":";
}

DataDirection RecordDirection(const ScsiPassThroughDirect& request) {
  if (request.DataTransferLength == 0) return DataDirection::None;
  switch (request.DataIn) {
    case kDataOut: return DataDirection::Out;
    case kDataIn: return DataDirection::In;
    default: return DirectionFor(request.Cdb[0], request.DataTransferLength);
  }
}

bool ErrnoMessageText(int code, size_t bufferSize, std::string& text, int& error) {
  if (!IsErrnoValue(code)) {
    error = EINVAL;
    return false;
  }
  const char* message = std::strerror(code);
  if (std::strlen(message) + 1 > bufferSize) {
    error = ERANGE;
    return false;
  }
  text = message;
  return true;
}

bool WellFormed(const ScsiPassThroughDirect& request) {
  if (request.CdbLength == 0 || request.CdbLength > sizeof request.Cdb) return false;
  if (request.DataTransferLength != 0 && request.DataBuffer == nullptr) return false;
  if (request.DataIn > kDataUnspecified) return false;
  return request.SenseInfoLength <= kPassThroughSenseAreaSize;
}

}  // namespace morv
