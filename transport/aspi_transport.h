#pragma once
// Morvantide4's transport: every request of the drive object goes to the ASPI
// manager in its own request block, and the wait for its completion pumps the
// dialog's messages, so the window stays live while a command is outstanding. A
// busy mark per host adapter and target ID refuses a second request to the same
// target (253); requests to other targets may nest.

#include <cstddef>
#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>

#include "platform/aspi_manager.h"
#include "platform/clock.h"
#include "scsi/transport.h"
#include "transport/aspi_resources.h"

namespace morv {

class CommandTrace;
class WaitFeedback;

/// Host adapters and target IDs the transport serves: 0-7 each.
inline constexpr int kAspiMaxHostAdapters = 8;
inline constexpr int kAspiMaxTargets = 8;
/// Longest wait for an adapter inquiry, in seconds.
inline constexpr int64_t kAdapterInquiryLimit = 10;

/// What InquireHostAdapter reports of an adapter.
struct HostAdapterIdentity {
  uint8_t scsiId = 0;      ///< the adapter's own SCSI ID
  std::string identifier;  ///< up to the first zero byte, at most 16 characters
};

class AspiTransport : public Transport {
 public:
  /// The manager and the feedback (the pumped waits, the "Aspi Error" box) must
  /// outlive the transport.
  AspiTransport(AspiManager& manager, WaitFeedback& feedback, Clock& clock = SystemClock(),
                AspiRequestResources& resources = HeapRequestResources(), CommandTrace* trace = nullptr);
  ~AspiTransport() override;
  AspiTransport(const AspiTransport&) = delete;
  AspiTransport& operator=(const AspiTransport&) = delete;

  /// The manager's status byte. The manager is asked once; later calls evaluate its
  /// first answer again. Status 1 sets HostAdapterCount from bits 0-7 (at most 8
  /// are used), any other status sets it to 0.
  uint8_t AspiSupportInfo();
  /// Host adapters to scan: 0 until AspiSupportInfo succeeded, at most 8.
  int HostAdapterCount() const { return m_hostAdapterCount; }
  /// Asks the manager about one adapter, waiting at most 10 seconds; returns its
  /// status (0 when it did not finish) and, on 1, fills `identity`.
  uint8_t InquireHostAdapter(uint8_t hostAdapter, HostAdapterIdentity& identity);
  /// Whether a request to this target is outstanding.
  bool TargetBusy(uint8_t hostAdapter, uint8_t targetId) const;
  /// Whether the manager found a device there that this process may not open.
  bool AccessDenied() { return m_manager.AccessDenied(); }
  /// Blocks of timed-out requests the manager has not finished with yet.
  size_t HeldBlockCount() const { return m_held.size(); }

  /// Sends one request and waits for it, pumping one message per pass, until the
  /// manager completes it or `timeoutSeconds` have passed on the clock's elapsed
  /// seconds (a step of the calendar neither shortens nor lengthens the wait).
  /// Returns the manager's status (0 for a time-out), or the transport's refusals:
  /// 253 busy target or no event, 254 no memory, 0x81/0x82 adapter/target beyond
  /// 7, 0xE0 a CDB longer than 16 bytes. A manager status without words of its own
  /// is shown to the operator ("Aspi Error" box) before it is returned.
  RequestOutcome ExecRequest(const TransportRequest& request) override;
  bool RepeatsOnUnitAttention() const override { return false; }
  /// Every code but 1 composes the text in Morvantide4's words
  /// (transport/aspi_error_text.h); on 1 the text of an earlier failure stays.
  std::optional<std::string> ErrorText(const RequestOutcome& outcome, const std::string& commandName) const override;

 private:
  /// What the manager may write into while a request is pending: its block, its
  /// event and the data buffer of the request's own. Kept after a failed abort until
  /// the manager has finished with them.
  struct HeldRequest {
    std::unique_ptr<SRB_ExecSCSICmd> block;
    std::shared_ptr<AspiEvent> event;
    std::unique_ptr<uint8_t[]> data;
    size_t dataCapacity = 0;
  };

  /// Ends a request the transport refuses before the manager sees it.
  RequestOutcome Refuse(const TransportRequest& request, uint8_t code);
  /// After a time-out: asks the manager to abort; true when it has finished with
  /// the request, else the request is held (and `request` left empty).
  bool AbortPending(uint8_t hostAdapter, HeldRequest& request);
  /// Releases the held blocks the manager has finished with.
  void ReleaseFinished();

  AspiManager& m_manager;
  WaitFeedback& m_feedback;
  Clock& m_clock;
  AspiRequestResources& m_resources;
  CommandTrace* m_trace;

  uint32_t m_supportInfo = 0;
  bool m_supportInfoHeld = false;
  int m_hostAdapterCount = 0;
  SRB_HAInquiry m_adapterInquiry{};  // shared by all adapter inquiries
  int m_targetBusy[kAspiMaxHostAdapters][kAspiMaxTargets] = {};
  std::list<HeldRequest> m_held;
  /// The data buffer of the last request that ended, kept for the next one: a fresh
  /// buffer for every piece cost the heap a trim and the pages a fault each time.
  std::unique_ptr<uint8_t[]> m_spareData;
  size_t m_spareCapacity = 0;
};

}  // namespace morv
