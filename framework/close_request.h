#pragma once
// A request from outside the dialogs to close them, as the close box would: the
// toolkits' event loops wait on it beside their input and hand it to the running
// dialog once no handler is at work.

namespace morv {

class CloseRequest {
 public:
  virtual ~CloseRequest() = default;
  /// Whether a close has been asked for. Once true it stays true. Empties the wake
  /// descriptor, so an event loop can wait on it again.
  virtual bool Requested() = 0;
  /// A descriptor that becomes readable when a request arrives (never written to
  /// otherwise), for event loops to wait on beside their input; -1 when there is none.
  virtual int WakeFd() const = 0;
};

}  // namespace morv
