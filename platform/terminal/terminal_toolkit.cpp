#include "platform/terminal/terminal_toolkit.h"

#include <algorithm>

#include "platform/terminal/dialog_painter.h"
#include "platform/terminal/message_box_view.h"
#include "platform/terminal/terminal_dialog.h"

namespace morv::terminal {

// Keeps a window on the stack for exactly as long as its modal run lasts.
class TerminalToolkit::LayerGuard {
 public:
  LayerGuard(TerminalToolkit& toolkit, Layer layer) : m_toolkit(toolkit) { toolkit.m_layers.push_back(layer); }
  ~LayerGuard() {
    m_toolkit.m_layers.pop_back();
    m_toolkit.Refresh();
  }
  LayerGuard(const LayerGuard&) = delete;
  LayerGuard& operator=(const LayerGuard&) = delete;

 private:
  TerminalToolkit& m_toolkit;
};

TerminalToolkit::TerminalToolkit(TerminalScreen& screen, CloseRequest* closeRequest)
    : m_screen(screen), m_closeRequest(closeRequest) {}

bool TerminalToolkit::CloseRequested() { return m_closeRequest && m_closeRequest->Requested(); }

int TerminalToolkit::DoModal(const DialogTemplate& dialogTemplate, const ProgramResources& resources,
                             DialogHandler& handler) {
  TerminalDialog dialog(dialogTemplate, resources);
  dialog.SetOnChange([this] { Refresh(); });
  LayerGuard guard(*this, Layer{&dialog, &handler, nullptr});
  if (handler.OnInitDialog(dialog) && dialog.GetFocus() == 0) dialog.FocusFirstTabStop();
  bool closeDelivered = false;
  while (!dialog.Ended()) {
    // Asked once: a dialog that does not close on it is left to the operator.
    if (!closeDelivered && CloseRequested()) {
      closeDelivered = true;
      handler.OnCommand(IDCANCEL, BN_CLICKED);
      continue;
    }
    Refresh();
    long long at = 0;
    KeyEvent key = NextEvent(true, at).value_or(KeyEvent::Key(KeyCode::Closed));
    if (key.code == KeyCode::Wake) continue;
    if (key.code == KeyCode::Closed) {
      // Nobody can answer any more: cancel, as the close box would.
      handler.OnCommand(IDCANCEL, BN_CLICKED);
      if (!dialog.Ended()) dialog.EndDialog(IDCANCEL);
      break;
    }
    if (Deliberate(key, at)) Dispatch(key, false);
  }
  return dialog.Result();
}

int TerminalToolkit::MessageBox(const std::string& text, const std::string& caption, unsigned type) {
  MessageBoxView box(text, caption, type);
  std::optional<int> answer;
  LayerGuard guard(*this, Layer{nullptr, nullptr, &box});
  // What was typed before the box could be seen answers nothing.
  Refresh();
  m_screen.FlushInput();
  m_held.clear();
  m_boxOpenedAt = m_screen.NowMs();
  while (!answer) {
    // Nobody is expected to answer once the program is asked to close.
    if (CloseRequested()) return box.CancelResult();
    Refresh();
    long long at = 0;
    KeyEvent key = NextEvent(true, at).value_or(KeyEvent::Key(KeyCode::Closed));
    if (key.code == KeyCode::Closed) return box.CancelResult();
    if (key.code == KeyCode::Wake) continue;
    if (key.code == KeyCode::Resize || m_tooSmall || !Deliberate(key, at)) continue;
    answer = box.HandleKey(key);
  }
  return *answer;
}

void TerminalToolkit::MessageBeep(unsigned) { m_screen.Bell(); }

void TerminalToolkit::SetCursor(CursorShape shape) {
  m_cursor = shape;
  Refresh();
}

void TerminalToolkit::PumpOneMessage() {
  long long at = 0;
  std::optional<KeyEvent> key = NextEvent(false, at);
  if (!key || key->code == KeyCode::Closed) return;
  // Noted only: the dialog's own loop closes it once the handler has returned.
  if (key->code == KeyCode::Wake) {
    CloseRequested();
    return;
  }
  if (Deliberate(*key, at)) Dispatch(*key, true);
}

void TerminalToolkit::PaintExposed() {
  while (std::optional<KeyEvent> key = m_screen.ReadKey(false)) {
    if (key->code == KeyCode::Resize) continue;  // read: the new size is known now
    if (key->code == KeyCode::Closed) break;
    if (key->code == KeyCode::Wake) {
      // Noted only, as in a pump pass: the dialog closes once the handler has returned.
      CloseRequested();
      break;
    }
    m_held.push_back({*key, m_screen.NowMs()});
  }
  Refresh();
}

std::optional<KeyEvent> TerminalToolkit::NextEvent(bool wait, long long& at) {
  if (!m_held.empty()) {
    const HeldEvent held = m_held.front();
    m_held.pop_front();
    at = held.at;
    return held.key;
  }
  std::optional<KeyEvent> key = m_screen.ReadKey(wait);
  at = m_screen.NowMs();
  return key;
}

bool TerminalToolkit::Deliberate(const KeyEvent& key, long long now) {
  switch (key.code) {
    case KeyCode::Click: case KeyCode::WheelUp: case KeyCode::WheelDown:
    case KeyCode::Resize: case KeyCode::Wake: case KeyCode::Closed:
      return true;  // not keys: the mouse does not repeat, the rest are no input
    default:
      break;
  }
  const bool again = key.code == m_lastKey.code && key.ch == m_lastKey.ch && key.alt == m_lastKey.alt &&
                     now - m_lastKeyAt < kQuietMs;
  m_lastKey = key;
  m_lastKeyAt = now;
  switch (key.code) {
    case KeyCode::Tab: case KeyCode::BackTab: case KeyCode::Up: case KeyCode::Down: case KeyCode::Left:
    case KeyCode::Right: case KeyCode::Home: case KeyCode::End: case KeyCode::PageUp: case KeyCode::PageDown:
      return true;  // moves only: held, it moves on, as a held arrow should
    default:
      return !again && now - m_boxOpenedAt >= kQuietMs;
  }
}

void TerminalToolkit::Dispatch(const KeyEvent& key, bool pumped) {
  if (key.code == KeyCode::Resize) return Refresh();
  // While the windows cannot be seen, keys would act blindly: they are dropped.
  if (m_tooSmall || m_layers.empty()) return;
  Layer top = m_layers.back();
  if (top.dialog) top.dialog->HandleKey(key, pumped ? InputMode::Pumped : InputMode::Dialog, *top.handler);
  Refresh();
}

bool TerminalToolkit::Place(int rows, int cols, int& neededRows, int& neededCols) {
  neededRows = neededCols = 0;
  CellRect below{0, 0, rows, cols};
  for (const Layer& layer : m_layers) {
    int height, width;
    if (layer.dialog) {
      height = layer.dialog->OuterRows();
      width = layer.dialog->OuterCols();
    } else {
      layer.box->Layout(cols);
      height = layer.box->Rows();
      width = layer.box->Cols();
    }
    neededRows = std::max(neededRows, height);
    neededCols = std::max(neededCols, width);
    // Dialogs sit in the middle of the screen, message boxes in the middle of the
    // window they belong to; both stay on the screen.
    CellRect over = layer.dialog ? CellRect{0, 0, rows, cols} : below;
    int row = std::clamp(over.row + (over.rows - height) / 2, 0, std::max(rows - height, 0));
    int col = std::clamp(over.col + (over.cols - width) / 2, 0, std::max(cols - width, 0));
    if (layer.dialog) {
      layer.dialog->SetPlacement(row, col, rows, cols);
      below = layer.dialog->Frame();
    } else {
      layer.box->SetOrigin(row, col);
    }
  }
  return rows >= neededRows && cols >= neededCols;
}

void TerminalToolkit::Refresh() {
  int rows = m_screen.Rows(), cols = m_screen.Cols();
  Canvas canvas(rows, cols);
  int neededRows, neededCols;
  m_tooSmall = !Place(rows, cols, neededRows, neededCols);
  if (m_tooSmall) {
    PaintTooSmall(canvas, neededRows, neededCols);
  } else {
    const TerminalDialog* topDialog = nullptr;
    for (const Layer& layer : m_layers)
      if (layer.dialog) topDialog = layer.dialog;
    for (const Layer& layer : m_layers) {
      if (layer.dialog)
        PaintDialog(canvas, *layer.dialog, m_cursor == CursorShape::Wait && layer.dialog == topDialog);
      else
        layer.box->Paint(canvas);
    }
  }
  m_screen.Present(canvas);
}

}  // namespace morv::terminal
