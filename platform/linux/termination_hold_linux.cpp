// The termination hold on Linux: SIGINT, SIGTERM and SIGHUP held for the duration.

#include "platform/signal_hold.h"
#include "platform/termination_hold.h"

namespace morv {

struct TerminationHold::State {
  TerminationSignalHold signals;
};

TerminationHold::TerminationHold() : m_state(std::make_unique<State>()) {}
TerminationHold::~TerminationHold() = default;

}  // namespace morv
