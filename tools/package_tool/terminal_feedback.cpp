#include "tools/package_tool/terminal_feedback.h"

#include <cstdio>

namespace morv {

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (unsigned char c : text) {
    switch (c) {
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      case '\t': out += "\\t"; break;
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      default:
        if (c < 0x20 || c > 0x7E) {
          char hex[5];
          std::snprintf(hex, sizeof hex, "\\x%02X", c);
          out += hex;
        } else {
          out.push_back(static_cast<char>(c));
        }
    }
  }
  return out + "\"";
}

int TerminalFeedback::AfxMessageBox(const std::string& text, unsigned, unsigned) {
  m_out << "message box: " << Quoted(text) << "\n";
  return IDOK;
}

int TerminalFeedback::WindowMessageBox(const std::string& text, const std::string& caption, unsigned) {
  m_out << "message box " << Quoted(caption) << ": " << Quoted(text) << "\n";
  return IDOK;
}

void TerminalFeedback::SetStatusLine(const std::string& text) { m_out << "status line: " << Quoted(text) << "\n"; }

}  // namespace morv
