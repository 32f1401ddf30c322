#include "platform/win32/wnaspi32_manager.h"

#include <windows.h>

#include <atomic>

#include "platform/win32/aspi_layout.h"

// WNASPI32's entry points (C calling convention), bound by ordinal through the import
// library made from wnaspi32.def.
extern "C" DWORD GetASPI32SupportInfo(void);
extern "C" DWORD SendASPI32Command(void* srb);

namespace morv::win32 {

/// One request's Win32 event and the thread-pool wait on it.
struct WnAspi32Manager::Notification {
  std::shared_ptr<AspiEvent> event;  ///< the requester's, kept alive until the signal
  HANDLE systemEvent = nullptr;
  HANDLE wait = nullptr;
  std::atomic<bool> delivered{false};

  ~Notification() {
    // Waits for a callback that is running to return.
    if (wait) UnregisterWaitEx(wait, INVALID_HANDLE_VALUE);
    if (systemEvent) CloseHandle(systemEvent);
  }
  static void CALLBACK Deliver(void* context, BOOLEAN) {
    auto* self = static_cast<Notification*>(context);
    self->event->Set();
    self->delivered.store(true);
  }
};

WnAspi32Manager::WnAspi32Manager() = default;
WnAspi32Manager::~WnAspi32Manager() = default;

uint32_t WnAspi32Manager::GetASPI32SupportInfo() { return ::GetASPI32SupportInfo(); }

bool WnAspi32Manager::AccessDenied() {
  HANDLE token = nullptr;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) return false;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  const bool known = GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size);
  CloseHandle(token);
  return known && elevation.TokenIsElevated == 0;
}

void WnAspi32Manager::ReleaseDelivered() {
  m_notifications.remove_if([](const std::unique_ptr<Notification>& n) { return n->delivered.load(); });
}

uint32_t WnAspi32Manager::SendASPI32Command(void* srb) {
  ReleaseDelivered();
  if (srb == nullptr || static_cast<const uint8_t*>(srb)[0] != SC_EXEC_SCSI_CMD) return ::SendASPI32Command(srb);

  auto& block = *static_cast<SRB_ExecSCSICmd*>(srb);
  std::shared_ptr<AspiEvent> event = NotifyEventOf(block);
  if (!event) return ::SendASPI32Command(srb);

  auto notification = std::make_unique<Notification>();
  notification->event = event;
  notification->systemEvent = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  if (!notification->systemEvent ||
      !RegisterWaitForSingleObject(&notification->wait, notification->systemEvent, Notification::Deliver,
                                   notification.get(), INFINITE, WT_EXECUTEONLYONCE)) {
    notification->wait = nullptr;
    StoreSrbStatus(block.SRB_Status, SS_FAILED_INIT);
    event->Set();
    return SS_FAILED_INIT;
  }
  block.SRB_PostProc = notification->systemEvent;
  Notification& sent = *m_notifications.emplace_back(std::move(notification));

  const uint32_t status = ::SendASPI32Command(srb);
  if ((status & 0xFF) != SS_PENDING) {
    // Finished at once: the DLL may not signal; its wait goes with the next call.
    event->Set();
    sent.delivered.store(true);
  }
  return status;
}

}  // namespace morv::win32
