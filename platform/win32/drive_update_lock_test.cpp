// The update lock under wine: one holder per drive address, across handles and
// threads as across programs; a holder that ended without releasing it is taken over.
#include "platform/win32/drive_update_lock.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <thread>

namespace morv::win32 {
namespace {

TEST(DriveUpdateLock, OneHolderPerDriveAndAnAbandonedLockIsTakenOver) {
  EXPECT_EQ(DriveLockName("1:0:2:0"), "Global\\Morvantide-drive-1-0-2-0");
  DriveUpdateLock first, second, elsewhere;
  EXPECT_EQ(first.Take("1:0:2:0").status, ClaimStatus::Claimed);
  // A mutex is its owner thread's: another thread stands in for another program.
  ClaimStatus seen = ClaimStatus::Failed;
  std::thread([&] { seen = second.Take("1:0:2:0").status; }).join();
  EXPECT_EQ(seen, ClaimStatus::UpdatedElsewhere);
  EXPECT_EQ(elsewhere.Take("1:0:3:0").status, ClaimStatus::Claimed);
  first.Release();
  std::thread([&] { seen = second.Take("1:0:2:0").status; }).join();
  EXPECT_EQ(seen, ClaimStatus::Claimed);
  // `second`'s thread has ended holding it: the next one takes it over.
  EXPECT_EQ(first.Take("1:0:2:0").status, ClaimStatus::Claimed);
}

}  // namespace
}  // namespace morv::win32
