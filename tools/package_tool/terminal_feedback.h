#pragma once
// Feedback for the package tool: every status text and message box becomes one line on
// a stream, its text quoted with C escapes so that line breaks and trailing spaces show.

#include <ostream>
#include <string>

#include "framework/feedback.h"

namespace morv {

/// `text` in double quotes with \n, \r, \t, \", \\ and \xNN escapes.
std::string Quoted(const std::string& text);

class TerminalFeedback : public Feedback {
 public:
  explicit TerminalFeedback(std::ostream& out) : m_out(out) {}

  void PumpMessages() override {}
  void MessageBeep(unsigned) override {}
  int AfxMessageBox(const std::string& text, unsigned type, unsigned helpContext) override;
  int WindowMessageBox(const std::string& text, const std::string& caption, unsigned type) override;
  std::string LoadString(unsigned) const override { return {}; }
  void BeginWaitCursor() override {}
  void RestoreWaitCursor() override {}
  void EndWaitCursor() override {}
  void SetStatusLine(const std::string& text) override;

 private:
  std::ostream& m_out;
};

}  // namespace morv
