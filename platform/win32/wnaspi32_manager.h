#pragma once
// Morvantide4's ASPI manager on Windows: the WNASPI32 DLL the program is linked
// against at load time (ordinals 1 and 2). A request that asks for event
// notification gets a Win32 event in SRB_PostProc, as the DLL expects; a wait of the
// system's thread pool passes its signal on to the request's AspiEvent.

#include <list>
#include <memory>

#include "platform/aspi_manager.h"

namespace morv::win32 {

class WnAspi32Manager : public AspiManager {
 public:
  WnAspi32Manager();
  ~WnAspi32Manager() override;
  /// Ordinal 1 of WNASPI32.
  uint32_t GetASPI32SupportInfo() override;
  /// Ordinal 2 of WNASPI32; a request the DLL finishes at once has its event
  /// signalled here, so the requester never waits for a signal that will not come.
  uint32_t SendASPI32Command(void* srb) override;
  /// WNASPI32 tells no reason of its own; on Windows it reaches drives the way raw
  /// drive access does, which needs an administrator: true when this process runs
  /// without an administrator's rights (its token is not elevated).
  bool AccessDenied() override;

 private:
  struct Notification;
  /// Forgets the notifications whose signal has been passed on.
  void ReleaseDelivered();
  std::list<std::unique_ptr<Notification>> m_notifications;
};

}  // namespace morv::win32
