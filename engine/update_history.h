#pragma once
// The record of every update that reaches the confirmation: what was flashed into
// which drive, the operator's answer and how it ended. One tab-separated line per
// update in $XDG_STATE_HOME/morvantide/history.log, written once the update has ended.

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
};

/// The outcome of an update the operator declined, and of one that completed.
inline constexpr const char* kOutcomeDeclined = "declined";
inline constexpr const char* kOutcomeComplete = "complete";

/// The history line of `record` for `program`, ending in a line feed: fields
/// "key=value" separated by tabs, the time in UTC as ISO 8601; a tab, line break or
/// backslash inside a value is written as \t, \n, \r or \\, any other byte that is
/// not printable UTF-8 as \xHH (EscapedForLine), so no value can forge a line.
std::string HistoryLine(const std::string& program, const UpdateRecord& record);

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
  /// `path` is the log file, `program` the name each line carries.
  HistoryLog(std::string path, std::string program);

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
  std::vector<std::string> m_failures;
};

}  // namespace morv
