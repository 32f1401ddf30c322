#include "platform/termination_close_request.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <stdexcept>

namespace morv {
namespace {

// Written by the handler, read by the event loop: lock-free atomics only.
std::atomic<int> s_wakeWrite{-1};
std::atomic<bool> s_signalled{false};
std::atomic<int> s_firstSignal{0};

void NoteSignal(int signal) {
  const int savedErrno = errno;
  int none = 0;
  s_firstSignal.compare_exchange_strong(none, signal);
  s_signalled.store(true);
  const int fd = s_wakeWrite.load();
  // Non-blocking: a full pipe already wakes the loop.
  if (fd >= 0) (void)!::write(fd, "x", 1);
  errno = savedErrno;
}

}  // namespace

TerminationCloseRequest::TerminationCloseRequest() {
  if (s_wakeWrite.load() >= 0) throw std::logic_error("a termination close request exists already");
  if (::pipe2(m_pipe, O_CLOEXEC | O_NONBLOCK) != 0) throw std::runtime_error("cannot create the wake pipe");
  s_signalled.store(false);
  s_firstSignal.store(0);
  s_wakeWrite.store(m_pipe[1]);
  struct sigaction note = {};
  note.sa_handler = NoteSignal;
  note.sa_flags = SA_RESTART;
  sigemptyset(&note.sa_mask);
  for (size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &note, &m_previousActions[i]);
}

TerminationCloseRequest::~TerminationCloseRequest() {
  for (size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &m_previousActions[i], nullptr);
  s_wakeWrite.store(-1);
  ::close(m_pipe[0]);
  ::close(m_pipe[1]);
}

bool TerminationCloseRequest::Requested() {
  char buffer[64];
  while (::read(m_pipe[0], buffer, sizeof buffer) > 0) {
  }
  m_requested = m_requested || s_signalled.load();
  return m_requested;
}

int TerminationCloseRequest::NotedSignal() { return s_firstSignal.load(); }

void TerminationCloseRequest::EndBySignalNoted() {
  const int signal = NotedSignal();
  if (signal == 0) return;
  std::fflush(nullptr);
  ::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  ::pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  ::raise(signal);
}

}  // namespace morv
