#include "transport/aspi_resources.h"

#include <new>

namespace morv {
namespace {

class HeapResources : public AspiRequestResources {
 public:
  std::unique_ptr<SRB_ExecSCSICmd> AllocateBlock() override {
    return std::unique_ptr<SRB_ExecSCSICmd>(new (std::nothrow) SRB_ExecSCSICmd{});
  }
  std::shared_ptr<AspiEvent> CreateEvent() override {
    try {
      return AspiEvent::Create();
    } catch (const std::bad_alloc&) {
      return nullptr;
    }
  }
};

}  // namespace

AspiRequestResources& HeapRequestResources() {
  static HeapResources resources;
  return resources;
}

}  // namespace morv
