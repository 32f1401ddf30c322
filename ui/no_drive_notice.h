#pragma once
// What the main dialog says when discovery lists no drive the program can use: one
// line, on the status line and on standard error, that says why and what to do
// (platform/no_drive_reason.h). With drives listed it says nothing.

#include <optional>
#include <ostream>
#include <string>

#include "platform/no_drive_reason.h"

namespace morv {

class Feedback;

class NoDriveNotice {
 public:
  /// Lines on `errors` begin with `program` and a colon; both must outlive the notice.
  NoDriveNotice(Feedback& feedback, std::ostream& errors, std::string program);

  /// After a scan. Without a drive listed: `reason`'s line on the status line, and on
  /// `errors` unless the same line went there last. With drives listed: the status
  /// line is emptied if it holds this notice's line, and nothing else happens.
  void AfterScan(bool drivesListed, NoDriveReason reason);
  /// Why the last scan listed no drive; none when it listed some.
  std::optional<NoDriveReason> Shown() const { return m_shown; }

 private:
  Feedback& m_feedback;
  std::ostream& m_errors;
  std::string m_program;
  /// The reason on the status line now; none when the line is not ours.
  std::optional<NoDriveReason> m_shown;
  /// The reason written to `errors` last.
  std::optional<NoDriveReason> m_written;
};

}  // namespace morv
