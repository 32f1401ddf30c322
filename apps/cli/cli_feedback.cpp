#include "apps/cli/cli_feedback.h"

#include <termios.h>
#include <unistd.h>

#include <cctype>
#include <utility>

namespace morv {
namespace {

constexpr const char* kNoMemoryText = "Insufficient memory to perform operation.";

/// Whether `line` says yes: "y" or "yes" in any case, blanks around it ignored.
bool SaysYes(std::string line) {
  std::string word;
  for (char c : line)
    if (!std::isspace(static_cast<unsigned char>(c))) word += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return word == "y" || word == "yes";
}

}  // namespace

CliFeedback::CliFeedback(std::string program, Answering answering, std::FILE* errors, std::FILE* input)
    : m_program(std::move(program)), m_answering(answering), m_errors(errors), m_input(input) {}

int CliFeedback::AfxMessageBox(const std::string& text, unsigned type, unsigned) {
  if ((type & MB_TYPEMASK) == MB_YESNO) {
    const int answer = Ask(text);
    if (answer == IDYES) m_hold.emplace();
    return answer;
  }
  m_messages.push_back(text);
  Say(text);
  return IDOK;
}

int CliFeedback::WindowMessageBox(const std::string& text, const std::string& caption, unsigned type) {
  return AfxMessageBox(caption.empty() ? text : caption + ": " + text, type);
}

std::string CliFeedback::LoadString(unsigned id) const { return id == kStringNoMemory ? kNoMemoryText : ""; }

void CliFeedback::Say(const std::string& text) {
  size_t start = 0;
  do {
    const size_t end = text.find('\n', start);
    std::fprintf(m_errors, "%s: %s\n", m_program.c_str(), text.substr(start, end - start).c_str());
    start = end == std::string::npos ? end : end + 1;
  } while (start != std::string::npos);
  std::fflush(m_errors);
}

int CliFeedback::Ask(const std::string& question) {
  if (m_answering == Answering::Yes) {
    std::fprintf(m_errors, "%s: %s yes (--yes)\n", m_program.c_str(), question.c_str());
    std::fflush(m_errors);
    return IDYES;
  }
  // Only a deliberate answer counts: whatever was typed before the question is thrown away.
  tcflush(fileno(m_input), TCIFLUSH);
  std::fprintf(m_errors, "%s [y/N] ", question.c_str());
  std::fflush(m_errors);
  std::string line;
  for (int c = std::fgetc(m_input); c != EOF && c != '\n'; c = std::fgetc(m_input)) line += static_cast<char>(c);
  // End of input, or anything but yes, declines.
  const bool yes = SaysYes(line);
  if (!yes) std::fprintf(m_errors, "%s: not confirmed; nothing was written to the drive\n", m_program.c_str());
  return yes ? IDYES : IDNO;
}

}  // namespace morv
