#pragma once
// A window's progress in its task bar button (ITaskbarList3), where the shell has
// one; without it (an older system, no shell) every call does nothing.

#include "platform/win32/windows_names.h"

struct ITaskbarList3;

namespace morv::win32 {

class TaskbarProgress {
 public:
  /// For top-level window `window`; nothing is asked of the shell until first shown.
  explicit TaskbarProgress(HWND window) : m_window(window) {}
  ~TaskbarProgress();
  TaskbarProgress(const TaskbarProgress&) = delete;
  TaskbarProgress& operator=(const TaskbarProgress&) = delete;

  /// Shows `done` of `total` on the button; a `total` of 0 takes the progress off it.
  void Show(int done, int total);

 private:
  HWND m_window;
  ITaskbarList3* m_list = nullptr;
  bool m_asked = false;      ///< the shell was asked for its task bar list
  bool m_comOpened = false;  ///< this object initialised COM on the thread
};

}  // namespace morv::win32
