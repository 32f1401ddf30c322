#pragma once
// Keeps the selectors where they were while an update runs. Morvantide4's pumped
// waits let the operator change a selector or ask for a rescan in the middle of
// the download; such a request must neither readdress the drive object nor send
// anything, so it is refused with the simple beep and the selectors go back to the
// positions they had when the update began.

#include <initializer_list>
#include <vector>

namespace morv {

class CComboBox;
class Feedback;

class SelectionLock {
 public:
  explicit SelectionLock(Feedback& feedback) : m_feedback(feedback) {}

  /// The selectors to hold; they must outlive the lock.
  void Hold(std::initializer_list<CComboBox*> selectors) { m_selectors = selectors; }
  /// Notes each selector's position when an update starts; releases the hold when it ends.
  void SetUpdateRunning(bool running);
  /// When an update runs: the simple beep, the selectors back at the noted positions,
  /// and true (the caller does nothing more). Otherwise false.
  bool Refuse();

 private:
  Feedback& m_feedback;
  std::vector<CComboBox*> m_selectors;
  std::vector<int> m_positions;
  bool m_held = false;
};

}  // namespace morv
