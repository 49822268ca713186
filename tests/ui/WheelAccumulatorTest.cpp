// Small wheel deltas from high-resolution wheels and touchpads add up to whole steps.
#include "ui/WheelAccumulator.h"

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

TEST(WheelAccumulator, EightDeltasOfFifteenMakeOneNotch) {
    WheelAccumulator wheel;
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(wheel.Take(15), 0) << i;
    EXPECT_EQ(wheel.Take(15), 1);
    EXPECT_EQ(wheel.Take(15), 0); // nothing left over
}

TEST(WheelAccumulator, ClassicNotchesPassStraightThrough) {
    WheelAccumulator wheel;
    EXPECT_EQ(wheel.Take(120), 1);
    EXPECT_EQ(wheel.Take(-240), -2);
    EXPECT_EQ(wheel.Take(360, 40), 120);
}

TEST(WheelAccumulator, PixelUnitsFollowEachSmallDelta) {
    WheelAccumulator wheel;
    int pixels = 0;
    for (int i = 0; i < 8; ++i)
        pixels += wheel.Take(-15, 40); // a notch is 40 pixels: 5 per event
    EXPECT_EQ(pixels, -40);
}

TEST(WheelAccumulator, TurningBackDropsWhatWasKept) {
    WheelAccumulator wheel;
    EXPECT_EQ(wheel.Take(100), 0);
    EXPECT_EQ(wheel.Take(-30), 0); // not 70 left, but -30
    EXPECT_EQ(wheel.Take(-90), -1);
    wheel.Take(60);
    wheel.Reset();
    EXPECT_EQ(wheel.Take(60), 0);
}

} // namespace
} // namespace mosaiq
