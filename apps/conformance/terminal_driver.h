#pragma once
// The conformance driver of the terminal toolkit, on a scripted screen: the
// operator's keys and clicks are input events, and what a box shows is read off
// the screen.

#include <map>
#include <regex>

#include "apps/conformance/toolkit_driver.h"
#include "platform/terminal/terminal_dialog.h"
#include "platform/terminal/terminal_toolkit.h"
#include "platform/terminal/testing/scripted_screen.h"

namespace morv::conformance {

class TerminalDriver : public ToolkitDriver {
 public:
  static constexpr const char* kName = "Terminal";

  Toolkit& Get() override { return m_toolkit; }

  int Run(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler,
          std::vector<OperatorStep> steps) override {
    WindowCatcher catcher(handler);
    size_t next = 0;
    bool ending = false;
    m_screen.onIdle = [&] {
      while (next < steps.size()) {
        const OperatorStep& step = steps[next++];
        if (step.kind == OperatorStep::Kind::Look) {
          step.look(*catcher.window);
          continue;
        }
        if (step.kind == OperatorStep::Kind::Press) {
          Type(step.key);
        } else {
          auto& window = dynamic_cast<terminal::TerminalDialog&>(*catcher.window);
          for (const auto& c : window.Controls())
            if (c.tpl.id == step.id) {
              terminal::CellRect r = window.ScreenRect(c);
              m_screen.Type({terminal::KeyEvent::Click(r.row, r.col + r.cols / 2)});
            }
        }
        return;
      }
      if (ending) return;
      ending = true;
      catcher.window->EndDialog(IDCANCEL);
      m_screen.Type({terminal::KeyEvent::Key(terminal::KeyCode::Resize)});  // wakes the loop
    };
    int result = m_toolkit.DoModal(dialog, resources, catcher);
    m_screen.onIdle = nullptr;
    return result;
  }

  void KeyDuringWait(OperatorKey key) override { m_screen.TypeAhead({Event(key)}); }
  void Uncover() override {
    m_uncoveredRows = m_screen.Rows() + 1;
    m_screen.QueueResize(m_uncoveredRows, m_screen.Cols());
  }
  bool Repainted() override { return m_screen.Last() && m_screen.Last()->Rows() == m_uncoveredRows; }

  BoxSeen ShowBox(const std::string& text, const std::string& caption, unsigned type,
                  std::vector<KeyStroke> keys) override {
    BoxSeen seen;
    size_t next = 0;
    bool looked = false;
    std::function<void()> outer = std::move(m_screen.onIdle);
    m_screen.onIdle = [&] {
      if (!looked) {
        looked = true;
        Read(seen, caption);
      }
      if (next < keys.size()) Type(keys[next++]);
    };
    seen.result = m_toolkit.MessageBox(text, caption, type);
    m_screen.onIdle = std::move(outer);
    return seen;
  }

 private:
  /// A fresh press at an operator's pace; a repeat as the keyboard sends it.
  void Type(KeyStroke stroke) {
    if (stroke.repeat)
      m_screen.Hold(Event(stroke.key), 1);
    else
      m_screen.Type({Event(stroke.key)});
  }

  static terminal::KeyEvent Event(OperatorKey key) {
    using terminal::KeyCode;
    switch (key) {
      case OperatorKey::Tab: return terminal::KeyEvent::Key(KeyCode::Tab);
      case OperatorKey::Escape: return terminal::KeyEvent::Key(KeyCode::Escape);
      case OperatorKey::Enter: return terminal::KeyEvent::Key(KeyCode::Enter);
      case OperatorKey::Up: return terminal::KeyEvent::Key(KeyCode::Up);
      case OperatorKey::Down: return terminal::KeyEvent::Key(KeyCode::Down);
    }
    return terminal::KeyEvent::Key(KeyCode::Resize);
  }

  /// Reads the box's caption and buttons ("[ Yes ]", the focused one "> No <").
  void Read(BoxSeen& seen, const std::string& caption) {
    static const std::map<std::string, int> kResults = {
        {"OK", IDOK},         {"Cancel", IDCANCEL}, {"Abort", IDABORT}, {"Retry", IDRETRY},
        {"Ignore", IDIGNORE}, {"Yes", IDYES},       {"No", IDNO},
    };
    seen.captionWhole = m_screen.Shows(" " + caption + " ");
    static const std::regex kButton(R"(([\[>]) +(\w+) +[\]<])");
    for (int row = 0; row < m_screen.Rows(); ++row) {
      std::string line = m_screen.Line(row);
      for (std::sregex_iterator it(line.begin(), line.end(), kButton), end; it != end; ++it) {
        auto result = kResults.find((*it)[2].str());
        if (result == kResults.end()) continue;
        seen.buttons.push_back(result->second);
        if ((*it)[1].str() == ">") seen.defaultButton = result->second;
      }
    }
    std::sort(seen.buttons.begin(), seen.buttons.end());
  }

  terminal::ScriptedScreen m_screen{40, 100};
  int m_uncoveredRows = 0;  ///< the size Uncover gave the screen
  terminal::TerminalToolkit m_toolkit{m_screen};
};

}  // namespace morv::conformance
