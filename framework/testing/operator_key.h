#pragma once
// The keys a test plays the operator with, named once for every toolkit.

namespace morv {

enum class OperatorKey { Tab, Escape, Enter, Up, Down };

/// One key as the keyboard sends it: a fresh press, or a repeat that the keyboard
/// sends on its own while the key is held down.
struct KeyStroke {
  // Implicit: a plain key is a fresh press.
  KeyStroke(OperatorKey pressed, bool repeated = false) : key(pressed), repeat(repeated) {}
  /// The keyboard repeating `key` because it is held down.
  static KeyStroke Held(OperatorKey key) { return {key, true}; }
  OperatorKey key;
  bool repeat;
};

/// Whether `key` only moves (the focus, a list's selection): the one kind of key
/// whose repeats act, since no button is pressed and no box answered by it.
inline bool OnlyMoves(OperatorKey key) { return key == OperatorKey::Tab || key == OperatorKey::Up || key == OperatorKey::Down; }

}  // namespace morv
