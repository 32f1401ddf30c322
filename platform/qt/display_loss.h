#pragma once
// Losing the display during an update. When the connection to the X server breaks,
// Qt's X11 platform ends the process from inside its event processing ("The X11
// connection broke"), which would cut a firmware download short. So every pass of
// Qt's event processing runs on a stack of its own: when the connection breaks
// while an update holds off termination, or once the display has been lost, the
// thread leaves that stack for good (Qt's frames there are never resumed) and the
// caller goes on without a window. Before any update a broken connection ends the
// process as Qt always has.

#include <functional>

namespace morv::qt {

/// Watches Qt's messages for the broken connection; call once the QApplication
/// exists. Without the X11 platform (offscreen, Wayland) nothing is watched and
/// ProcessSurvivingDisplayLoss simply runs its pass.
void WatchForDisplayLoss();
/// Runs `pass`, anything that processes Qt's events (a pass of the pump, a modal
/// loop); false when the display was lost during it, and at once, without running
/// it, once the display has been lost. An exception from `pass` comes out here.
bool ProcessSurvivingDisplayLoss(const std::function<void()>& pass);
/// For our code that Qt's event processing called (a dialog's handler) and that
/// has returned: once the display is lost it leaves the innermost pass at once
/// instead of returning into Qt, which would end the process. Returns otherwise.
void LeaveEventProcessingIfDisplayLost();
/// Whether the display was lost during an update.
bool DisplayLost();

}  // namespace morv::qt
