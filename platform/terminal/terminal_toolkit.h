#pragma once
// The dialog toolkit for consoles and SSH sessions: every window the programs show,
// drawn in character cells on a TerminalScreen and worked with the keyboard (and the
// mouse where the terminal reports it). Windows stack: the main dialog, an about box
// over it, message boxes on top; input always goes to the top one.
//
// A close request from outside (the screen's Wake event, then CloseRequest) reaches
// each dialog as the close box does (IDCANCEL), once no handler of it is running:
// one that comes during a handler or a pumped wait is held until the handler has
// returned. An open message box is answered as if nobody were there
// (Cancel, else No, else Abort, else OK), then each dialog of the stack closes in turn.

#include <vector>

#include "framework/close_request.h"
#include "platform/terminal/terminal_screen.h"
#include "framework/toolkit.h"

namespace morv::terminal {

class MessageBoxView;
class TerminalDialog;

class TerminalToolkit : public Toolkit {
 public:
  /// `closeRequest` may be null (no close requests from outside).
  explicit TerminalToolkit(TerminalScreen& screen, CloseRequest* closeRequest = nullptr);

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
  /// Whether a close has been asked for from outside (empties the wake descriptor).
  bool CloseRequested();
  /// Places the windows on a screen of the given size; false when it is too small.
  bool Place(int rows, int cols, int& neededRows, int& neededCols);

  TerminalScreen& m_screen;
  CloseRequest* m_closeRequest;
  std::vector<Layer> m_layers;
  CursorShape m_cursor = CursorShape::Arrow;
  bool m_tooSmall = false;
};

}  // namespace morv::terminal
