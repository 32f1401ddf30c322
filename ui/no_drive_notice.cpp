#include "ui/no_drive_notice.h"

#include <utility>

#include "framework/feedback.h"

namespace morv {

NoDriveNotice::NoDriveNotice(Feedback& feedback, std::ostream& errors, std::string program)
    : m_feedback(feedback), m_errors(errors), m_program(std::move(program)) {}

void NoDriveNotice::AfterScan(bool drivesListed, NoDriveReason reason) {
  if (drivesListed) {
    if (m_shown) m_feedback.SetStatusLine("");
    m_shown.reset();
    m_written.reset();
    return;
  }
  const std::string text = NoDriveText(reason);
  m_feedback.SetStatusLine(text);
  m_shown = reason;
  // A rescan that finds the same again does not repeat the line.
  if (m_written != reason) m_errors << m_program << ": " << text << std::endl;
  m_written = reason;
}

}  // namespace morv
