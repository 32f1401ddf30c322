#pragma once
// A drive whose answers come from a script of bytes: each command it receives takes
// its answer from the next bytes of the script (status, sense in fixed or descriptor
// format with any stated and any returned length, replaced data, a transfer cut
// short), applied to what a sound MX-R4410 answers: its identification to INQUIRY,
// GOOD to everything else. A byte past the end of the script reads as zero, so once
// the script is used up every command gets the sound drive's answer. Built for the
// fuzz target that drives both programs with whatever a drive may answer, and kept
// light (no microcode storage), as it is made anew for every input.
//
// The answer to one command, byte by byte:
//   flags   bits 0-2 status: 0 the sound drive's answer, 1 GOOD, 2 CHECK CONDITION,
//                    3 BUSY, 4 RESERVATION CONFLICT, 5 TASK SET FULL, 6 CONDITION MET,
//                    7 the status byte follows
//           bit 3    a sense follows and replaces the sound drive's (none)
//           bit 4    data follows and replaces the sound drive's data-in
//           bit 5    a transfer count follows: at most that many bytes move
//   [status]                     with status choice 7
//   [form key asc ascq stated returned extra e1..eN]   with bit 3:
//           form bit 0 descriptor format (72h, else fixed 70h), bit 1 deferred (73h/71h);
//           stated is the additional sense length the sense gives in byte 7; the
//           sense is the format's header, then the N extra bytes (fixed: from byte 14,
//           descriptor: from byte 8), padded with zeros or cut to `returned` bytes
//   [count d1..dcount]           with bit 4
//   [transferred]                with bit 5

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "sim/standard_device.h"

namespace morv::sim {

class AnswerScriptDevice : public EmulatedDevice {
 public:
  /// Keeps a copy of `script`.
  explicit AnswerScriptDevice(std::span<const uint8_t> script);

  /// Runs the command on the sound drive, then applies the script's answer to it.
  DeviceResult Execute(const DeviceCommand& command) override;
  /// Every command with the answer it finally got.
  const std::vector<RecordedCommand>& Record() const override { return m_record; }
  bool Present() const override { return true; }
  /// Bytes of the script not read yet.
  size_t ScriptLeft() const { return m_script.size() - m_next; }

 private:
  uint8_t Next();
  std::vector<uint8_t> NextBytes(size_t count);
  std::vector<uint8_t> ScriptedSense();

  std::vector<uint8_t> m_script;
  size_t m_next = 0;
  std::unique_ptr<StandardDevice> m_drive;
  std::vector<RecordedCommand> m_record;
};

}  // namespace morv::sim
