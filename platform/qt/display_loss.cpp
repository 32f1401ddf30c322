#include "platform/qt/display_loss.h"

#include <sys/mman.h>
#include <ucontext.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <exception>
#include <vector>

#include "platform/signal_hold.h"

namespace morv::qt {
namespace {

/// Room for one pass of Qt's event processing, its modal loops and our handlers
/// within it: as much as the main thread's usual limit. Reserved only as used.
constexpr size_t kPassStackSize = size_t{8} << 20;

/// One pass that runs on its own stack.
struct Pass {
  ucontext_t caller;
  ucontext_t own;
  const std::function<void()>* body = nullptr;
  std::exception_ptr error;
  /// Begun while an update held off termination: leaving it abandons no update.
  bool duringUpdate = false;
  bool left = false;
};

bool s_watching = false;
bool s_lost = false;
QtMessageHandler s_previousHandler = nullptr;
/// The passes running now, innermost last.
std::vector<Pass*> s_passes;
/// One stack per depth of nesting, kept for the next pass at that depth.
std::vector<char*> s_stacks;

char* StackAtDepth(size_t depth) {
  while (s_stacks.size() <= depth) {
    const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    void* memory = ::mmap(nullptr, kPassStackSize + page, PROT_READ | PROT_WRITE,
                          MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE | MAP_STACK, -1, 0);
    if (memory == MAP_FAILED) return nullptr;
    // A guard page below: running past the stack faults instead of overwriting.
    ::mprotect(memory, page, PROT_NONE);
    s_stacks.push_back(static_cast<char*>(memory) + page);
  }
  return s_stacks[depth];
}

void RunInnermostPass() {
  Pass* pass = s_passes.back();
  try {
    (*pass->body)();
  } catch (...) {
    pass->error = std::current_exception();
  }
}  // returns to the caller through uc_link

/// Whether the innermost pass can be left without abandoning a running update:
/// one begun outside the update it is in holds the update's own frames.
bool MayLeaveInnermost() {
  return !s_passes.empty() && (s_passes.back()->duringUpdate || !TerminationSignalHold::Active());
}

[[noreturn]] void LeaveInnermost() {
  s_lost = true;
  Pass* pass = s_passes.back();
  pass->left = true;
  ::setcontext(&pass->caller);
  std::abort();  // setcontext returns only when it fails
}

void OnQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (s_previousHandler)
    s_previousHandler(type, context, message);
  else
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
  if (!message.startsWith(QLatin1String("The X11 connection broke"))) return;
  // Qt ends the process when this returns: before any update, as it always has.
  if ((TerminationSignalHold::Active() || s_lost) && MayLeaveInnermost()) LeaveInnermost();
}

}  // namespace

void WatchForDisplayLoss() {
  if (s_watching || QGuiApplication::platformName() != QLatin1String("xcb")) return;
  s_watching = true;
  s_previousHandler = qInstallMessageHandler(OnQtMessage);
}

bool ProcessSurvivingDisplayLoss(const std::function<void()>& body) {
  if (s_lost) return false;
  char* stack = s_watching ? StackAtDepth(s_passes.size()) : nullptr;
  if (stack == nullptr) {
    body();
    return true;
  }
  Pass pass;
  pass.body = &body;
  pass.duringUpdate = TerminationSignalHold::Active();
  ::getcontext(&pass.own);
  pass.own.uc_stack.ss_sp = stack;
  pass.own.uc_stack.ss_size = kPassStackSize;
  pass.own.uc_link = &pass.caller;
  ::makecontext(&pass.own, RunInnermostPass, 0);
  s_passes.push_back(&pass);
  ::swapcontext(&pass.caller, &pass.own);
  s_passes.pop_back();
  if (pass.error) std::rethrow_exception(pass.error);
  return !pass.left;
}

void LeaveEventProcessingIfDisplayLost() {
  if (s_lost && MayLeaveInnermost()) LeaveInnermost();
}

bool DisplayLost() { return s_lost; }

}  // namespace morv::qt
