// The tuning sliders' conversions and the tuning panel under simulated input.
#include "canvas/edits/TuningSliders.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CBitmapSlider.h"
#include "canvas/widgets/tuning/CTuningPanel.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

struct Conversion {
    TuningSlider slider;
    int position;
    float value;
};

TEST(TuningSliders, ConversionsAtTheEndsAndDefaults) {
    const Conversion cases[] = {
        {TuningSlider::Contrast, 20, 0.2f},
        {TuningSlider::Contrast, 100, 1.0f},
        {TuningSlider::Contrast, 400, 4.0f},
        {TuningSlider::Brightness, 0, -1.0f},
        {TuningSlider::Brightness, 100, 0.0f},
        {TuningSlider::Brightness, 200, 1.0f},
        {TuningSlider::Saturation, 0, 0.0f},
        {TuningSlider::Saturation, 100, 1.0f},
        {TuningSlider::Saturation, 300, 3.0f},
        {TuningSlider::Hue, 0, -180.0f},
        {TuningSlider::Hue, 18000, 0.0f},
        {TuningSlider::Hue, 36000, 180.0f},
        {TuningSlider::Gamma, 20, 0.2f},
        {TuningSlider::Gamma, 100, 1.0f},
        {TuningSlider::Gamma, 400, 4.0f},
        {TuningSlider::Colour, 0, -36.0f},
        {TuningSlider::Colour, 18000, 0.0f},
        {TuningSlider::Colour, 36000, 36.0f},
        // Below the range: contrast and gamma never go under 0.2.
        {TuningSlider::Contrast, 0, 0.2f},
        {TuningSlider::Gamma, -5, 0.2f},
    };
    for (const Conversion& c : cases)
        EXPECT_FLOAT_EQ(TuningValue(c.slider, c.position), c.value)
            << InfoOf(c.slider).label << " at " << c.position;
}

TEST(TuningSliders, TableKeepsTheControlIdsAndDefaults) {
    EXPECT_EQ(InfoOf(TuningSlider::Brightness).controlId, 10004);
    EXPECT_EQ(InfoOf(TuningSlider::Saturation).controlId, 10003);
    const auto defaults = TuningValuesOf(DefaultTuningPositions());
    const float expected[] = {1.0f, 0.0f, 1.0f, 0.0f, 1.0f, 0.0f};
    for (int i = 0; i < kTuningSliderCount; ++i)
        EXPECT_EQ(defaults[size_t(i)], expected[i]) << i;
}

class TuningPanelTest : public ::testing::Test {
protected:
    void SetUp() override {
        panel.resize(800, 123);
        panel.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel));
    }
    CTuningPanel panel;
    QSignalSpy changes{&panel, &CTuningPanel::tuningChanged};
};

TEST_F(TuningPanelTest, LayoutPutsThreeRowsInTwoColumns) {
    const QRect contrast = panel.Slider(TuningSlider::Contrast)->geometry();
    EXPECT_EQ(contrast, QRect(100, 30, 300, 13));
    EXPECT_EQ(panel.Slider(TuningSlider::Saturation)->geometry().top(), 70);
    EXPECT_EQ(panel.Slider(TuningSlider::Hue)->geometry(), QRect(500, 30, 280, 13));
    EXPECT_EQ(panel.ResetButton()->geometry(), QRect(0, 123 - 21, 76, 20));
}

TEST_F(TuningPanelTest, ATrackClickReportsAtOnce) {
    CBitmapSlider* gamma = panel.Slider(TuningSlider::Gamma);
    QTest::mouseClick(gamma, Qt::LeftButton, {}, QPoint(gamma->width() - 2, 6));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_FALSE(changes.at(0).at(0).toBool());
    EXPECT_EQ(panel.Positions()[size_t(TuningSlider::Gamma)],
              gamma->PositionAt(gamma->width() - 2));
    EXPECT_GT(panel.Positions()[size_t(TuningSlider::Gamma)], 390);
}

TEST_F(TuningPanelTest, ADragReportsOnlyWhenTheThumbIsLetGo) {
    CBitmapSlider* hue = panel.Slider(TuningSlider::Hue);
    const QPoint thumb = hue->ThumbRect().center();
    QTest::mousePress(hue, Qt::LeftButton, {}, thumb);
    QTest::mouseMove(hue, thumb + QPoint(60, 0));
    EXPECT_EQ(changes.count(), 0);
    QTest::mouseRelease(hue, Qt::LeftButton, {}, thumb + QPoint(60, 0));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_GT(panel.Positions()[size_t(TuningSlider::Hue)], 18000);
}

TEST_F(TuningPanelTest, ResetPutsTheDefaultsBackAndReportsAReset) {
    TuningPositions moved = DefaultTuningPositions();
    moved[0] = 300;
    moved[5] = 100;
    panel.SetPositions(moved);
    QTest::mouseClick(panel.ResetButton(), Qt::LeftButton, {}, QPoint(10, 10));
    ASSERT_EQ(changes.count(), 1);
    EXPECT_TRUE(changes.at(0).at(0).toBool());
    EXPECT_EQ(panel.Positions(), DefaultTuningPositions());
}

} // namespace
} // namespace mosaiq
