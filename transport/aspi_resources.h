#pragma once
// Where the ASPI transport takes each request's block and completion event from.
// Injectable, so tests can make either fail.

#include <memory>

#include "platform/aspi_manager.h"

namespace morv {

class AspiRequestResources {
 public:
  virtual ~AspiRequestResources() = default;
  /// A zero-filled request block, or null when there is no memory for it.
  virtual std::unique_ptr<SRB_ExecSCSICmd> AllocateBlock() = 0;
  /// A new auto-reset event, not signalled, or null when none can be made.
  virtual std::shared_ptr<AspiEvent> CreateEvent() = 0;
};

/// Blocks from the heap, events from AspiEvent::Create.
AspiRequestResources& HeapRequestResources();

}  // namespace morv
