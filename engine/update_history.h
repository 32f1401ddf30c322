#pragma once
// The record of every update that reaches the confirmation: what was flashed into
// which drive, by which program, the operator's answer and how it ended. One
// tab-separated line per update in $XDG_STATE_HOME/morvantide/history.log, written
// as soon as the outcome is known.

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace morv {

/// What one update leaves in the history.
struct UpdateRecord {
  std::chrono::system_clock::time_point time;  ///< when the operator was asked
  std::string driveAddress;     ///< "E:" or "0:2:0" (adapter:target:LUN)
  std::string identification;   ///< the drive's description, as the selector shows it
  std::string versionBefore;    ///< the Current Firmware Version field at the press
  std::string parameterFile;    ///< the Selected File field
  std::string checksumField;    ///< the parameter file's checksum field, as written
  std::string regions;          ///< "1,2,3", "1,3", ... or "none"
  bool confirmed = false;       ///< the answer to "Firmware Update Execute ?"
  std::string outcome;          ///< "complete", "declined", or the error text shown
  std::optional<std::string> versionAfter;  ///< what the drive reported after completing
  std::string packagePath;      ///< the parameter file's absolute path
  std::string imageSha256;      ///< the image's SHA-256, hexadecimal
  std::string node;             ///< the node the drive was reached through: "/dev/sg3"
  std::string scsiAddress;      ///< host:channel:target:LUN, "2:0:0:0"; empty where the system does not tell
  std::string failedCommand;    ///< the command whose failure ended the update: "WRITE BUFFER", ...
  std::string failedPiece;      ///< for a refused piece: "12/32 buffer 11 offset 0 length 16384"
};

/// Whether the drive flashed was a real device or one of the emulated drives.
enum class DriveKind { Real, Emulated };

/// The outcome of an update the operator declined, and of one that completed.
inline constexpr const char* kOutcomeDeclined = "declined";
inline constexpr const char* kOutcomeComplete = "complete";

/// The history line of `record` for `program` on a drive of `kind`, ending in a line
/// feed: fields "key=value" separated by tabs, the time in UTC as ISO 8601; a tab,
/// line break or backslash inside a value is written as \t, \n, \r or \\, any other
/// byte that is not printable UTF-8 as \xHH (EscapedForLine), so no value can forge a
/// line. The fields of older lines come first, in their order; `after`, `failed` and
/// `piece` only where they apply.
std::string HistoryLine(const std::string& program, DriveKind kind, const UpdateRecord& record);

/// Where updates are recorded.
class UpdateHistory {
 public:
  virtual ~UpdateHistory() = default;
  /// Records one update. Must not fail loudly or wait: the update has ended.
  virtual void Append(const UpdateRecord& record) = 0;
};

/// The history log file shared by both programs.
class HistoryLog : public UpdateHistory {
 public:
  /// `path` is the log file, `program` the name each line carries, `kind` whether the
  /// program's drives are real or emulated.
  HistoryLog(std::string path, std::string program, DriveKind kind);

  /// "$XDG_STATE_HOME/morvantide/history.log" (~/.local/state/... without it).
  static std::string DefaultPath();

  /// Appends the record's line in one write; a failure is kept for Failures().
  void Append(const UpdateRecord& record) override;
  /// One line per record that could not be written, for standard error once the
  /// dialog has gone.
  const std::vector<std::string>& Failures() const { return m_failures; }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
  std::string m_program;
  DriveKind m_kind;
  std::vector<std::string> m_failures;
};

}  // namespace morv
