#pragma once
// A terminal for tests: a fixed-size screen that keeps the last canvas shown, input
// from a queue of events, and a count of bells. When a waiting read finds the queue
// empty the terminal reports itself gone, so a test can never hang.
//
// Its clock is the events': each event has the time it was typed, and reading it
// brings the clock there. Type() types at an operator's pace (a second apart),
// Hold() as a keyboard repeats a held key, TypeAhead() at once, so a box that opens
// and flushes the input finds it waiting.

#include <algorithm>
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

  /// An operator's pace: a second between keys.
  static constexpr long long kPaceMs = 1000;
  /// A keyboard's repeat of a held key (30 per second).
  static constexpr long long kRepeatMs = 33;

  /// Queues input events, typed one after the other at an operator's pace.
  void Type(std::initializer_list<KeyEvent> keys) {
    for (const auto& k : keys) Queue(k, kPaceMs);
  }
  /// Queues `count` repeats of `key` as the keyboard sends them while it is held.
  void Hold(const KeyEvent& key, int count) {
    for (int i = 0; i < count; ++i) Queue(key, kRepeatMs);
  }
  /// Queues input typed already: it waits now, before anything queued later.
  void TypeAhead(std::initializer_list<KeyEvent> keys) {
    for (const auto& k : keys) Queue(k, 0);
  }
  /// Queues a change of the terminal's size, reported as a Resize event.
  void QueueResize(int rows, int cols) { Queue(KeyEvent::Key(KeyCode::Resize), kPaceMs, rows, cols); }
  /// Run when a waiting read finds the queue empty (it may queue more input).
  std::function<void()> onIdle;

  int bells = 0;
  int presents = 0;
  /// Events thrown away by FlushInput.
  int flushed = 0;
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
    m_now = std::max(m_now, step.at);
    if (step.rows > 0) m_rows = step.rows, m_cols = step.cols;
    return step.key;
  }
  void Bell() override { ++bells; }
  void FlushInput() override {
    while (!m_steps.empty() && m_steps.front().at <= m_now) {
      m_steps.pop_front();
      ++flushed;
    }
  }
  long long NowMs() override { return m_now; }

 private:
  struct Step {
    KeyEvent key;
    long long at;
    int rows = 0, cols = 0;
  };
  void Queue(const KeyEvent& key, long long after, int rows = 0, int cols = 0) {
    long long last = m_steps.empty() ? m_now : std::max(m_now, m_steps.back().at);
    m_steps.push_back(Step{key, last + after, rows, cols});
  }
  long long m_now = 0;
  int m_rows, m_cols;
  std::deque<Step> m_steps;
  std::optional<Canvas> m_last;
};

}  // namespace morv::terminal
