#pragma once
// Completion codes: one byte returned by every execution and every command.
// 1 is the only value callers test for; the others follow the ASPI request status
// values, plus the transports' own refusals.

#include <cstdint>

namespace morv {

inline constexpr uint8_t kCodePending = 0x00;      ///< wait ran out before completion
inline constexpr uint8_t kCodeDone = 0x01;         ///< completed without error
inline constexpr uint8_t kCodeAborted = 0x02;
inline constexpr uint8_t kCodeAbortFailed = 0x03;
inline constexpr uint8_t kCodeError = 0x04;        ///< target status not good, adapter or system error
inline constexpr uint8_t kCodeInvalidHa = 0x81;
inline constexpr uint8_t kCodeNoDevice = 0x82;
inline constexpr uint8_t kCodeInvalidSrb = 0xE0;
inline constexpr uint8_t kCodeFailedInit = 0xE4;
inline constexpr uint8_t kCodeAspiBusy = 0xE5;
inline constexpr uint8_t kCodeBufferTooBig = 0xE6; ///< data longer than the drive's largest transfer
inline constexpr uint8_t kCodeTargetBusy = 0xFD;   ///< target has a request outstanding (or no event)
inline constexpr uint8_t kCodeNoMemory = 0xFE;     ///< no memory for the request block

}  // namespace morv
