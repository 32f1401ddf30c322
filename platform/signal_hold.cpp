#include "platform/signal_hold.h"

#include <atomic>

namespace morv {
namespace {

// The thread that holds the signals. Other threads do not block them, so the kernel
// may hand a process-directed signal to one of them; the handler below then makes it
// pending on the holder, where it waits for the hold to end.
std::atomic<pthread_t> s_holder;

void PassToHolder(int signal) { pthread_kill(s_holder.load(), signal); }

}  // namespace

TerminationSignalHold::TerminationSignalHold() : m_previousHolder(s_holder.load()) {
  sigset_t held;
  sigemptyset(&held);
  for (int signal : kSignals) sigaddset(&held, signal);
  s_holder.store(pthread_self());
  pthread_sigmask(SIG_BLOCK, &held, &m_previousMask);

  struct sigaction forward = {};
  forward.sa_handler = PassToHolder;
  forward.sa_flags = SA_RESTART;
  sigfillset(&forward.sa_mask);
  for (size_t i = 0; i < kSignals.size(); ++i) {
    sigaction(kSignals[i], nullptr, &m_previousActions[i]);
    // An ignored signal has nothing to take effect later; it stays ignored.
    if (m_previousActions[i].sa_handler == SIG_IGN && !(m_previousActions[i].sa_flags & SA_SIGINFO)) continue;
    sigaction(kSignals[i], &forward, nullptr);
    m_forwarding[i] = true;
  }
}

TerminationSignalHold::~TerminationSignalHold() {
  // Dispositions first: a signal pending on this thread is delivered as soon as the
  // mask is restored, and must meet the handler (or default) it had before the hold.
  for (size_t i = 0; i < kSignals.size(); ++i)
    if (m_forwarding[i]) sigaction(kSignals[i], &m_previousActions[i], nullptr);
  s_holder.store(m_previousHolder);
  pthread_sigmask(SIG_SETMASK, &m_previousMask, nullptr);
}

}  // namespace morv
