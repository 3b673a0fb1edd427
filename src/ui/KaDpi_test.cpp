#include "ui/KaDpi.h"

#include <gtest/gtest.h>

namespace {

class Dpi : public ::testing::Test {
protected:
  void TearDown() override { SetDeviceDpi(LogicalDpi); }
};

} // namespace

TEST_F(Dpi, LogicalPixelsAreDevicePixelsAtNinetySix) {
  EXPECT_EQ(DeviceDpi(), 96);
  EXPECT_EQ(ToDevice(499), 499);
  EXPECT_EQ(ToDevice(-11), -11);
  EXPECT_EQ(ToDevice(TRect{144, 112, 473, 131}), (TRect{144, 112, 473, 131}));
}

TEST_F(Dpi, ScalesRoundingHalvesAwayFromZero) {
  SetDeviceDpi(144);
  EXPECT_EQ(ToDevice(1), 2);     // 1.5
  EXPECT_EQ(ToDevice(3), 5);     // 4.5
  EXPECT_EQ(ToDevice(-11), -17); // -16.5: a font height
  EXPECT_EQ(ToDevice(TRect{0, 0, 499, 360}), (TRect{0, 0, 749, 540}));
  EXPECT_EQ(ToLogical(749), 499);
  EXPECT_EQ(ToLogical(TRect{0, 0, 750, 540}), (TRect{0, 0, 500, 360}));
  SetDeviceDpi(0);
  EXPECT_EQ(DeviceDpi(), 96);
}
