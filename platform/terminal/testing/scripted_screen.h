#pragma once
// A terminal for tests: a fixed-size screen that keeps the last canvas shown, input
// from a queue of events, and a count of bells. When a waiting read finds the queue
// empty the terminal reports itself gone, so a test can never hang.

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/terminal/terminal_screen.h"

namespace morv::terminal {

class ScriptedScreen : public TerminalScreen {
 public:
  ScriptedScreen(int rows = 24, int cols = 80) : m_rows(rows), m_cols(cols) {}

  /// Queues input events.
  void Type(std::initializer_list<KeyEvent> keys) {
    for (const auto& k : keys) m_steps.push_back(Step{k, 0, 0});
  }
  /// Queues a change of the terminal's size, reported as a Resize event.
  void QueueResize(int rows, int cols) { m_steps.push_back(Step{KeyEvent::Key(KeyCode::Resize), rows, cols}); }
  /// Run when a waiting read finds the queue empty (it may queue more input).
  std::function<void()> onIdle;

  int bells = 0;
  int presents = 0;
  /// The screen as it was each time an event was read, in order.
  std::vector<std::string> screensAtRead;
  int PendingKeys() const { return static_cast<int>(m_steps.size()); }
  /// The screen as last shown, as text (line pieces as '-', '|', '+').
  std::string Text() const { return m_last ? m_last->Dump() : std::string(); }
  const std::optional<Canvas>& Last() const { return m_last; }
  /// Row `row` of the screen as last shown, trailing blanks removed.
  std::string Line(int row) const {
    if (!m_last || row < 0 || row >= m_last->Rows()) return std::string();
    std::string line = m_last->RowText(row);
    line.erase(line.find_last_not_of(' ') + 1);
    return line;
  }
  /// Whether any row of the screen as last shown contains `text`.
  bool Shows(const std::string& text) const { return Text().find(text) != std::string::npos; }

  int Rows() override { return m_rows; }
  int Cols() override { return m_cols; }
  void Present(const Canvas& canvas) override {
    m_last = canvas;
    ++presents;
  }
  std::optional<KeyEvent> ReadKey(bool wait) override {
    if (m_steps.empty() && wait && onIdle) onIdle();
    if (m_steps.empty()) return wait ? std::optional<KeyEvent>(KeyEvent::Key(KeyCode::Closed)) : std::nullopt;
    screensAtRead.push_back(Text());
    Step step = m_steps.front();
    m_steps.pop_front();
    if (step.rows > 0) m_rows = step.rows, m_cols = step.cols;
    return step.key;
  }
  void Bell() override { ++bells; }

 private:
  struct Step {
    KeyEvent key;
    int rows, cols;
  };
  int m_rows, m_cols;
  std::deque<Step> m_steps;
  std::optional<Canvas> m_last;
};

}  // namespace morv::terminal
