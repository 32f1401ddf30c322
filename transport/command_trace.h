#pragma once
// `--trace FILE`: one line per SCSI command, appended to a file, e.g.
//   E: 3B 05 1F 00 00 00 00 40 00 00 | len=16384 out | status=02 sense=05/24/00
// The device is the drive letter ("E:") or host adapter:target:LUN ("0:2:0"). Lines
// that are no command start with "# ", e.g. "# power: battery not checked: ...".

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>

#include "scsi/operation_codes.h"

namespace morv {

class CommandTrace {
 public:
  /// Opens `path` for appending; nullptr with `error` set when it cannot be opened.
  static std::unique_ptr<CommandTrace> Open(const std::string& path, std::string& error);
  ~CommandTrace();

  /// Appends one line and flushes it, so a crash keeps everything before it. A line
  /// that cannot be written (a full disk, a reader that left the pipe) ends the
  /// trace with one line on standard error; the commands themselves go on.
  void Record(const std::string& device, const uint8_t* cdb, size_t cdbLength, uint32_t dataLength,
              DataDirection direction, const std::string& outcome);

  /// Appends "# " and `note` as one line and flushes it.
  void Note(const std::string& note);

  /// "status=02 sense=05/24/00" (the sense part only when the sense key, ASC or ASCQ
  /// is nonzero).
  static std::string DeviceOutcome(uint8_t status, const uint8_t* sense, size_t senseLength);
  /// "refused code=FD" for a request that never reached the device.
  static std::string Refusal(uint8_t code);
  /// The line Record writes, without the line feed: device, CDB bytes, length and
  /// direction, outcome, and the command's name where the opcode table has one.
  static std::string FormatLine(const std::string& device, const uint8_t* cdb, size_t cdbLength,
                                uint32_t dataLength, DataDirection direction, const std::string& outcome);

 private:
  CommandTrace(std::FILE* file, std::string path) : m_file(file), m_path(std::move(path)) {}
  /// Writes one line; after a failed write nothing more is written.
  void Append(std::string line);
  std::FILE* m_file;
  std::string m_path;
  bool m_failed = false;  ///< a line could not be written: nothing more is traced
};

}  // namespace morv
