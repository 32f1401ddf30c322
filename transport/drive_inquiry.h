#pragma once
// The INQUIRY both selection halves send: 255 bytes into a 256-byte buffer that
// lives only for the call, so the drive object is left without a buffer after it.
// From its data discovery lists a drive and the firmware version field shows the
// 17 bytes from byte 32 (product revision level and the vendor bytes after it) up
// to the first zero byte.

#include <array>
#include <cstdint>
#include <string>

namespace morv {

class CScsiDrive;

using InquiryData = std::array<uint8_t, 256>;

/// Zeroes `data`, then sends INQUIRY with allocation length 255 to the drive as
/// addressed. Returns the completion code.
uint8_t InquireDriveData(CScsiDrive& drive, InquiryData& data);

/// INQUIRY as above; on completion code 1 `version` gets the firmware version text
/// (bytes outside printable ASCII read as spaces), otherwise it is left alone.
/// Returns the completion code.
uint8_t InquireFirmwareVersion(CScsiDrive& drive, std::string& version);

}  // namespace morv
