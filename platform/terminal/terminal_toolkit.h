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
//
// A terminal tells nothing of keys held down: a held key arrives as the same key
// again and again, 30 to 100 ms apart. So a key that can press a button or answer a
// box (anything but Tab and the arrow and paging keys) counts only when the same key
// did not come in the kQuietMs before it, and not in the first kQuietMs of a box;
// and a box throws away what was typed before it was drawn. A held key never gets
// through; a person lets go and presses again.

#include <deque>
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
  /// Reads what input is waiting, so that a change of the terminal's size takes
  /// effect, and paints every window; the keys and clicks read are held back for
  /// the dialog, in order (a box that opens throws them away as type-ahead).
  void PaintExposed() override;

  /// Paints every open window and shows the result.
  void Refresh();

  /// How long a key that presses or answers must not have come before (and a box
  /// must have been open) for that key to count, milliseconds.
  static constexpr long long kQuietMs = 200;

 private:
  struct Layer {
    TerminalDialog* dialog = nullptr;
    DialogHandler* handler = nullptr;
    MessageBoxView* box = nullptr;
  };
  class LayerGuard;

  void Dispatch(const KeyEvent& key, bool pumped);
  /// The next input event, one held back by PaintExposed first; `at` is when it came.
  std::optional<KeyEvent> NextEvent(bool wait, long long& at);
  /// Notes a keyboard event's arrival at `at`; false when it is a key that presses
  /// or answers and comes too soon to be a deliberate press (see above).
  bool Deliberate(const KeyEvent& key, long long at);
  /// Whether a close has been asked for from outside (empties the wake descriptor).
  bool CloseRequested();
  /// Places the windows on a screen of the given size; false when it is too small.
  bool Place(int rows, int cols, int& neededRows, int& neededCols);

  TerminalScreen& m_screen;
  CloseRequest* m_closeRequest;
  std::vector<Layer> m_layers;
  CursorShape m_cursor = CursorShape::Arrow;
  struct HeldEvent {
    KeyEvent key;
    long long at;
  };
  std::deque<HeldEvent> m_held;  ///< read by PaintExposed, not yet handled
  bool m_tooSmall = false;
  static constexpr long long kLongAgo = -1'000'000'000;
  KeyEvent m_lastKey = KeyEvent::Key(KeyCode::Closed);  ///< the last keyboard event
  long long m_lastKeyAt = kLongAgo;
  long long m_boxOpenedAt = kLongAgo;                    ///< when the last box was drawn
};

}  // namespace morv::terminal
