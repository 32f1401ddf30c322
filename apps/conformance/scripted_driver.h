#pragma once
// The conformance driver of the scripted toolkit the end-to-end tests run on: the
// operator's steps become its script, keys in a wait its pending input.

#include <algorithm>

#include "apps/conformance/toolkit_driver.h"
#include "framework/message_box_buttons.h"
#include "framework/testing/scripted_toolkit.h"

namespace morv::conformance {

class ScriptedDriver : public ToolkitDriver {
 public:
  static constexpr const char* kName = "Scripted";

  Toolkit& Get() override { return m_toolkit; }

  int Run(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler,
          std::vector<OperatorStep> steps) override {
    for (auto& step : steps) {
      switch (step.kind) {
        case OperatorStep::Kind::Press:
          m_toolkit.script.push_back(step.key.repeat ? ScriptedToolkit::HeldKey(step.key.key)
                                                     : ScriptedToolkit::Key(step.key.key));
          break;
        case OperatorStep::Kind::Click: m_toolkit.script.push_back(ScriptedToolkit::Click(step.id)); break;
        case OperatorStep::Kind::Look:
          m_toolkit.script.push_back(ScriptedToolkit::Inspect(std::move(step.look)));
          break;
      }
    }
    return m_toolkit.DoModal(dialog, resources, handler);
  }

  void KeyDuringWait(OperatorKey key) override { m_toolkit.pending.push_back(ScriptedToolkit::KeyInWait(key)); }
  void Uncover() override { m_toolkit.uncovered = true; }
  bool Repainted() override { return !m_toolkit.uncovered; }

  BoxSeen ShowBox(const std::string& text, const std::string& caption, unsigned type,
                  std::vector<KeyStroke> keys) override {
    BoxSeen seen;
    m_toolkit.boxKeys.assign(keys.begin(), keys.end());
    seen.result = m_toolkit.MessageBox(text, caption, type);
    m_toolkit.boxKeys.clear();
    seen.buttons = MessageBoxButtons(type);
    seen.defaultButton = seen.buttons.front();
    std::sort(seen.buttons.begin(), seen.buttons.end());
    seen.captionWhole = m_toolkit.boxes.back().caption == caption;
    return seen;
  }

 private:
  ScriptedToolkit m_toolkit;
};

}  // namespace morv::conformance
