#include "platform/terminal/message_box_view.h"

#include <algorithm>
#include <cctype>

#include "framework/message_box_buttons.h"
#include "framework/text_wrap.h"
#include "framework/win32_types.h"

namespace morv::terminal {
namespace {

// Blank columns between the frame and the text, and the marker's columns.
constexpr int kPad = 2;
constexpr int kMarkerCols = 3;
constexpr int kButtonGap = 2;
// The narrowest text area a box keeps on any screen.
constexpr int kMinTextCols = 10;

int Width(const std::string& s) { return static_cast<int>(s.size()); }

}  // namespace

const char* ButtonLabel(int result) {
  switch (result) {
    case IDCANCEL: return "Cancel";
    case IDABORT: return "Abort";
    case IDRETRY: return "Retry";
    case IDIGNORE: return "Ignore";
    case IDYES: return "Yes";
    case IDNO: return "No";
    default: return "OK";
  }
}

std::vector<BoxButton> ButtonsOf(unsigned type) {
  std::vector<BoxButton> buttons;
  for (int result : MessageBoxButtons(type)) buttons.push_back(BoxButton{ButtonLabel(result), result});
  return buttons;
}

char IconMarker(unsigned type) {
  switch (type & MB_ICONMASK) {
    case MB_ICONHAND: return 'x';
    case MB_ICONQUESTION: return '?';
    case MB_ICONEXCLAMATION: return '!';
    case MB_ICONASTERISK: return 'i';
    default: return 0;
  }
}

std::vector<std::string> WrapLines(const std::string& text, int width) {
  return morv::WrapLines(text, width, [](std::string_view piece) { return Width(std::string(piece)); });
}

MessageBoxView::MessageBoxView(std::string text, std::string caption, unsigned type)
    : m_text(std::move(text)),
      m_caption(std::move(caption)),
      m_marker(IconMarker(type)),
      m_buttons(ButtonsOf(type)),
      m_escapeResult(MessageBoxEscapeResult(type)) {
  Layout(80);
}

int MessageBoxView::ButtonCols() const {
  int widest = 0;
  for (const auto& b : m_buttons) widest = std::max(widest, Width(b.label));
  return widest + 4;
}

int MessageBoxView::ButtonRowCols() const {
  int n = static_cast<int>(m_buttons.size());
  return n * ButtonCols() + (n - 1) * kButtonGap;
}

void MessageBoxView::Layout(int screenCols) {
  int markerCols = m_marker ? kMarkerCols : 0;
  int room = std::max(screenCols - 2 - 2 * kPad - markerCols, kMinTextCols);
  m_lines = WrapLines(m_text, room);
  m_textCols = 0;
  for (const auto& line : m_lines) m_textCols = std::max(m_textCols, Width(line));
}

int MessageBoxView::Rows() const { return static_cast<int>(m_lines.size()) + 6; }

int MessageBoxView::Cols() const {
  int inner = std::max({m_textCols + (m_marker ? kMarkerCols : 0), ButtonRowCols(), Width(m_caption) + 4});
  return inner + 2 + 2 * kPad;
}

CellRect MessageBoxView::ButtonRect(int index) const {
  int left = m_col + (Cols() - ButtonRowCols()) / 2;
  return CellRect{m_row + Rows() - 3, left + index * (ButtonCols() + kButtonGap), 1, ButtonCols()};
}

int MessageBoxView::CancelResult() const {
  for (int wanted : {IDCANCEL, IDNO, IDABORT})
    for (const auto& b : m_buttons)
      if (b.result == wanted) return wanted;
  return m_buttons.front().result;
}

std::optional<int> MessageBoxView::HandleKey(const KeyEvent& key) {
  int n = static_cast<int>(m_buttons.size());
  switch (key.code) {
    case KeyCode::Left:
    case KeyCode::BackTab:
    case KeyCode::Up:
      m_focus = (m_focus + n - 1) % n;
      return std::nullopt;
    case KeyCode::Right:
    case KeyCode::Tab:
    case KeyCode::Down:
      m_focus = (m_focus + 1) % n;
      return std::nullopt;
    case KeyCode::Enter:
      return m_buttons[static_cast<size_t>(m_focus)].result;
    case KeyCode::Escape:
      // Cancel where there is one, OK for a box with OK alone; Yes/No and
      // Abort/Retry/Ignore want a real answer.
      if (m_escapeResult != 0) return m_escapeResult;
      return std::nullopt;
    case KeyCode::Click:
      for (int i = 0; i < n; ++i)
        if (ButtonRect(i).Contains(key.row, key.col)) return m_buttons[static_cast<size_t>(i)].result;
      return std::nullopt;
    case KeyCode::Char: {
      if (key.ch == ' ' && !key.alt) return m_buttons[static_cast<size_t>(m_focus)].result;
      char wanted = static_cast<char>(std::tolower(static_cast<unsigned char>(key.ch)));
      for (const auto& b : m_buttons)
        if (std::tolower(static_cast<unsigned char>(b.label[0])) == wanted) return b.result;
      return std::nullopt;
    }
    default:
      return std::nullopt;
  }
}

void MessageBoxView::Paint(Canvas& canvas) const {
  CellRect frame = Frame();
  canvas.Fill(frame, Paint::Window);
  canvas.Box(frame, Paint::Frame);
  canvas.Text(frame.row, frame.col + 2, " " + m_caption + " ", Paint::Caption, frame.cols - 4);
  int textCol = frame.col + 1 + kPad;
  if (m_marker) {
    canvas.Put(frame.row + 2, textCol, m_marker, Paint::Caption);
    textCol += kMarkerCols;
  }
  for (size_t i = 0; i < m_lines.size(); ++i)
    canvas.Text(frame.row + 2 + static_cast<int>(i), textCol, m_lines[i], Paint::Window, frame.Right() - 1 - textCol);
  for (int i = 0; i < static_cast<int>(m_buttons.size()); ++i) {
    CellRect r = ButtonRect(i);
    const std::string& label = m_buttons[static_cast<size_t>(i)].label;
    bool focused = i == m_focus;
    std::string face(static_cast<size_t>(r.cols), ' ');
    face.front() = focused ? '>' : '[';
    face.back() = focused ? '<' : ']';
    face.replace(static_cast<size_t>((r.cols - Width(label)) / 2), label.size(), label);
    canvas.Text(r.row, r.col, face, focused ? Paint::Focus : Paint::Button);
  }
}

}  // namespace morv::terminal
