// The emulated devices' places: a device put where a destroyed one was (a drive
// replugged, a fresh device for each run of a test) is told apart from it.
#include "sim/device_claims.h"

#include <gtest/gtest.h>

#include <memory>
#include <new>

#include "sim/answer_script_device.h"

namespace morv::sim {
namespace {

TEST(DeviceClaims, ADeviceMadeInAnotherOnesPlaceHasAPlaceOfItsOwn) {
  alignas(AnswerScriptDevice) unsigned char storage[sizeof(AnswerScriptDevice)];
  auto* first = new (storage) AnswerScriptDevice({});
  const std::string firstPlace = EmulatedAddress(*first);
  std::destroy_at(first);
  auto* second = new (storage) AnswerScriptDevice({});
  EXPECT_NE(EmulatedAddress(*second), firstPlace);
  EXPECT_EQ(EmulatedAddress(*second), EmulatedAddress(*second));
  std::destroy_at(second);
}

}  // namespace
}  // namespace morv::sim
