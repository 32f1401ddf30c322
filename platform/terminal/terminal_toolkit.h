#pragma once
// The dialog toolkit for consoles and SSH sessions: every window the programs show,
// drawn in character cells on a TerminalScreen and worked with the keyboard (and the
// mouse where the terminal reports it). Windows stack: the main dialog, an about box
// over it, message boxes on top; input always goes to the top one.

#include <vector>

#include "platform/terminal/terminal_screen.h"
#include "framework/toolkit.h"

namespace morv::terminal {

class MessageBoxView;
class TerminalDialog;

class TerminalToolkit : public Toolkit {
 public:
  explicit TerminalToolkit(TerminalScreen& screen);

  int DoModal(const DialogTemplate& dialog, const ProgramResources& resources, DialogHandler& handler) override;
  int MessageBox(const std::string& text, const std::string& caption, unsigned type) override;
  void MessageBeep(unsigned type) override;
  CursorShape GetCursor() const override { return m_cursor; }
  void SetCursor(CursorShape shape) override;
  void PumpOneMessage() override;

  /// Paints every open window and shows the result.
  void Refresh();

 private:
  struct Layer {
    TerminalDialog* dialog = nullptr;
    DialogHandler* handler = nullptr;
    MessageBoxView* box = nullptr;
  };
  class LayerGuard;

  void Dispatch(const KeyEvent& key, bool pumped);
  /// Places the windows on a screen of the given size; false when it is too small.
  bool Place(int rows, int cols, int& neededRows, int& neededCols);

  TerminalScreen& m_screen;
  std::vector<Layer> m_layers;
  CursorShape m_cursor = CursorShape::Arrow;
  bool m_tooSmall = false;
};

}  // namespace morv::terminal
