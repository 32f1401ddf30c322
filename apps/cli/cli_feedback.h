#pragma once
// The feedback services on a command line: every box the dialogs would show becomes
// lines on standard error, the question "Firmware Update Execute ?" becomes a prompt
// on the terminal (or the answer --yes gave), and the busy cursor and status line,
// which the progress report stands in for, show nothing. A yes also begins a hold of
// the termination signals that lasts until the result has been printed: the update
// holds them from the answer to its end, and this hold, begun just before the
// update's and ended after it, keeps a signal that came meanwhile from ending the
// program before it has told how the update ended.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "framework/feedback.h"
#include "platform/termination_hold.h"

namespace morv {

/// How the question is answered.
enum class Answering {
  Yes,     ///< --yes: the question is answered Yes without asking
  Prompt,  ///< asked on the terminal: standard input is one
};

class CliFeedback : public Feedback {
 public:
  /// `program` opens every line; `errors` gets the boxes and the prompt, `input`
  /// the operator's answer.
  CliFeedback(std::string program, Answering answering, std::FILE* errors = stderr, std::FILE* input = stdin);

  void PumpMessages() override {}
  void MessageBeep(unsigned) override {}
  /// A Yes/No box asks; every other box is written and answered OK.
  int AfxMessageBox(const std::string& text, unsigned type = MB_OK, unsigned helpContext = 0) override;
  int WindowMessageBox(const std::string& text, const std::string& caption, unsigned type) override;
  /// The framework's memory text; nothing else is asked for.
  std::string LoadString(unsigned id) const override;
  void BeginWaitCursor() override {}
  void RestoreWaitCursor() override {}
  void EndWaitCursor() override {}
  void SetStatusLine(const std::string&) override {}
  /// No window to paint.
  void PaintExposed() override {}

  /// Every box's text, in order: what the operator was told.
  const std::vector<std::string>& Messages() const { return m_messages; }
  /// Lets a signal held since the yes take effect; call once the result is printed.
  void EndHold() { m_hold.reset(); }

 private:
  /// Writes `text` as lines, each opened by the program's name.
  void Say(const std::string& text);
  int Ask(const std::string& question);

  std::string m_program;
  Answering m_answering;
  std::FILE* m_errors;
  std::FILE* m_input;
  std::vector<std::string> m_messages;
  std::optional<TerminationHold> m_hold;
};

}  // namespace morv
