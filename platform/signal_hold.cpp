#include "platform/signal_hold.h"

#include <atomic>

namespace morv {
namespace {

// The thread that holds the signals. Other threads do not block them, so the kernel
// may hand a process-directed signal to one of them; the handler below then makes it
// pending on the holder, where it waits for the hold to end.
std::atomic<pthread_t> s_holder;
std::atomic<int> s_holds{0};

void PassToHolder(int signal) { pthread_kill(s_holder.load(), signal); }

std::vector<int> HeldSignals() {
  std::vector<int> signals{SIGHUP,  SIGINT,    SIGQUIT, SIGPIPE, SIGALRM, SIGTERM,   SIGUSR1, SIGUSR2, SIGXCPU,
                           SIGXFSZ, SIGVTALRM, SIGPROF, SIGPOLL, SIGPWR,  SIGSTKFLT, SIGTSTP, SIGTTIN, SIGTTOU};
  for (int signal = SIGRTMIN; signal <= SIGRTMAX; ++signal) signals.push_back(signal);
  return signals;
}

}  // namespace

const std::vector<int>& TerminationSignalHold::Signals() {
  static const std::vector<int> signals = HeldSignals();
  return signals;
}

bool TerminationSignalHold::Active() { return s_holds.load() > 0; }

TerminationSignalHold::TerminationSignalHold() : m_previousHolder(s_holder.load()) {
  // Inside a hold this thread already has, the signals are blocked and forwarded here:
  // nothing to do, and no system call (a profile written during an update).
  if (s_holds.load() > 0 && pthread_equal(m_previousHolder, pthread_self())) {
    m_nested = true;
    ++s_holds;
    return;
  }
  const std::vector<int>& signals = Signals();
  m_previousActions.resize(signals.size());
  m_forwarding.assign(signals.size(), false);
  sigset_t held;
  sigemptyset(&held);
  for (int signal : signals) sigaddset(&held, signal);
  s_holder.store(pthread_self());
  pthread_sigmask(SIG_BLOCK, &held, &m_previousMask);
  ++s_holds;

  struct sigaction forward = {};
  forward.sa_handler = PassToHolder;
  forward.sa_flags = SA_RESTART;
  sigfillset(&forward.sa_mask);
  for (size_t i = 0; i < signals.size(); ++i) {
    // One call per signal sets the forwarder and reads what it replaces (some fifty
    // signals, at every hold).
    sigaction(signals[i], &forward, &m_previousActions[i]);
    // An ignored signal has nothing to take effect later; it stays ignored. One that
    // arrived in between is pending on this thread, and ignoring it again drops it.
    if (m_previousActions[i].sa_handler == SIG_IGN && !(m_previousActions[i].sa_flags & SA_SIGINFO)) {
      sigaction(signals[i], &m_previousActions[i], nullptr);
      continue;
    }
    m_forwarding[i] = true;
  }
}

TerminationSignalHold::~TerminationSignalHold() {
  if (m_nested) {
    --s_holds;
    return;
  }
  // Dispositions first: a signal pending on this thread is delivered as soon as the
  // mask is restored, and must meet the handler (or default) it had before the hold.
  const std::vector<int>& signals = Signals();
  for (size_t i = 0; i < signals.size(); ++i)
    if (m_forwarding[i]) sigaction(signals[i], &m_previousActions[i], nullptr);
  s_holder.store(m_previousHolder);
  --s_holds;
  pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

}  // namespace morv
