#pragma once
// SIGTERM and SIGHUP as a request to close the dialogs. While one exists, these
// signals no longer end the process at once: the handler only notes the signal and
// wakes the event loop, which closes the dialog as the close box does, so the program
// ends by its ordinary road (the dialog destroyed, the selection's profile written).
// During an update the TerminationSignalHold blocks them as before; the note is made
// when the hold ends. A second signal while the close is under way changes nothing:
// the program is never cut off halfway through writing its profile (SIGKILL still is
// the way to end it at once).

#include <pthread.h>
#include <signal.h>

#include <array>

#include "framework/close_request.h"

namespace morv {

class TerminationCloseRequest : public CloseRequest {
 public:
  /// Installs the handlers. At most one exists at a time (a second throws
  /// std::logic_error); create it after anything else that installs handlers for
  /// these signals (the terminal screen), and destroy it before that is undone.
  TerminationCloseRequest();
  /// Restores the earlier dispositions. A signal noted but not yet acted on is lost
  /// here: the dialogs have ended and the program is on its way out anyway.
  ~TerminationCloseRequest() override;
  TerminationCloseRequest(const TerminationCloseRequest&) = delete;
  TerminationCloseRequest& operator=(const TerminationCloseRequest&) = delete;

  bool Requested() override;
  int WakeFd() const override { return m_pipe[0]; }

  /// The first of these signals that arrived while a request existed, or 0; kept
  /// after it is destroyed, so the process can end by that signal once it has
  /// closed down (EndBySignalNoted).
  static int NotedSignal();
  /// Ends the process by the noted signal, with its default action, after flushing
  /// the standard streams; returns when none was noted.
  static void EndBySignalNoted();

  /// The signals turned into a close request.
  static constexpr std::array<int, 2> kSignals{SIGTERM, SIGHUP};

 private:
  int m_pipe[2] = {-1, -1};
  bool m_requested = false;
  std::array<struct sigaction, kSignals.size()> m_previousActions;
};

}  // namespace morv
