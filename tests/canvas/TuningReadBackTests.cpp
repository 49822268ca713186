// The tuning sliders read an object's stored tuning back, and one moved slider writes its own
// value only: the other settings of the object stay as they were.
#include "canvas/document/CollageDocument.h"
#include "canvas/edits/TuningSliders.h"
#include "common/TestSupport.h"
#include "core/Notifier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace mosaiq;

namespace {

TEST(TuningPositions, EveryPositionSurvivesTheRoundTripThroughItsStoredValue) {
    for (int i = 0; i < kTuningSliderCount; ++i) {
        const auto slider = TuningSlider(i);
        const TuningSliderInfo& info = InfoOf(slider);
        for (int p = info.minimum; p <= info.maximum; p += (info.maximum > 1000 ? 7 : 1))
            ASSERT_EQ(TuningPosition(slider, TuningValue(slider, p)), p) << i;
    }
}

TEST(TuningPositions, DamagedValuesLandInsideTheRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(TuningPosition(TuningSlider::Hue, nan), InfoOf(TuningSlider::Hue).defaultPosition);
    EXPECT_EQ(TuningPosition(TuningSlider::Contrast, inf), InfoOf(TuningSlider::Contrast).maximum);
    EXPECT_EQ(TuningPosition(TuningSlider::Gamma, -5.0f), InfoOf(TuningSlider::Gamma).minimum);
    EXPECT_EQ(TuningPosition(TuningSlider::Colour, 1e30f), InfoOf(TuningSlider::Colour).maximum);
}

TEST(TuningPositions, AnInactiveTuningShowsTheDefaults) {
    TuningBlock off; // active 0, colour 0.125
    off.brightness = 0.5f;
    EXPECT_EQ(TuningPositionsOf(off), DefaultTuningPositions());
    TuningBlock on = off;
    on.active = 1;
    on.colour = -12.0f;
    const TuningPositions p = TuningPositionsOf(on);
    EXPECT_EQ(p[size_t(TuningSlider::Brightness)], 150);
    EXPECT_EQ(p[size_t(TuningSlider::Colour)], 12000);
}

class TuningSliderEdit : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    CollageDocument doc;
};

TEST_F(TuningSliderEdit, OneSliderLeavesTheOtherFiveAsStored) {
    ASSERT_TRUE(doc.AddPhoto(QStringLiteral("a.jpg"), 40, 30, 0, 0));
    TuningBlock& t = doc.objects[0].Photo()->tuning;
    t.active = 1;
    t.brightness = 0.29f;
    t.saturation = 1.46f;
    t.colour = 0.125f; // a value no slider position gives
    const int steps = doc.History().Count();
    ASSERT_TRUE(doc.ApplyTuningSlider(TuningSlider::Hue, 20000));
    const TuningBlock& after = doc.objects[0].Photo()->tuning;
    EXPECT_EQ(after.active, 1);
    EXPECT_EQ(after.brightness, 0.29f);
    EXPECT_EQ(after.saturation, 1.46f);
    EXPECT_EQ(after.colour, 0.125f);
    EXPECT_EQ(after.contrast, 1.0f);
    EXPECT_FLOAT_EQ(after.hue, 20.0f);
    EXPECT_EQ(doc.History().Count(), steps + 1);
    EXPECT_TRUE(doc.modified);
}

TEST_F(TuningSliderEdit, TheFirstChangeOfAnInactiveTuningStartsFromTheDefaults) {
    ASSERT_TRUE(doc.AddPhoto(QStringLiteral("a.jpg"), 40, 30, 0, 0));
    TuningBlock& t = doc.objects[0].Photo()->tuning;
    t.brightness = 0.7f; // left over while the tuning was off
    ASSERT_TRUE(doc.ApplyTuningSlider(TuningSlider::Gamma, 150));
    const TuningBlock& after = doc.objects[0].Photo()->tuning;
    EXPECT_EQ(after.active, 1);
    EXPECT_EQ(after.brightness, 0.0f);
    EXPECT_EQ(after.colour, 0.0f); // the Color slider's default, not the record's 0.125
    EXPECT_EQ(after.contrast, 1.0f);
    EXPECT_FLOAT_EQ(after.gamma, 1.5f);
}

TEST_F(TuningSliderEdit, NothingTunableSelectedSaysSo) {
    EXPECT_FALSE(doc.ApplyTuningSlider(TuningSlider::Contrast, 200));
    EXPECT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(doc.History().Position(), -1);
}

} // namespace
