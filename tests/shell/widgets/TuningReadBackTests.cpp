// The tuning panel shows the selected object's tuning, and one click on a slider changes that
// slider's setting alone.
#include "WindowTestSupport.h"
#include "canvas/widgets/tuning/CTuningPanel.h"
#include "core/text/FixedText.h"
#include "shell/widgets/CommandIds.h"
#include "ui/widgets/CBitmapSlider.h"

namespace mosaiq {
namespace {

class TuningReadBackTest : public test::WindowTest {
public:
    void SetUp() override {
        WindowTest::SetUp();
        tuning = qobject_cast<CTuningPanel*>(window->Panel(PanelSlot::Tuning));
        ASSERT_NE(tuning, nullptr);
        window->RunCommand(cmd::kTuningTab);
    }
    void ClickSliderEnd(TuningSlider which) {
        CBitmapSlider* slider = tuning->Slider(which);
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(slider->width() - 2, 6));
    }
    CTuningPanel* tuning = nullptr;
};

TEST_F(TuningReadBackTest, SelectingAPhotoShowsItsTuningAndAClickChangesOneSetting) {
    AddPhoto(80, 60, 50, 50);
    AddPhoto(80, 60, 300, 50);
    TuningBlock& t = *Doc().objects[0].Tuning();
    t.active = 1;
    t.brightness = 0.29f;
    t.saturation = 1.46f;
    ClickObject(0);
    ASSERT_TRUE(Doc().objects[0].Selected());
    const TuningPositions shown = tuning->Positions();
    EXPECT_EQ(shown[size_t(TuningSlider::Brightness)], 129);
    EXPECT_EQ(shown[size_t(TuningSlider::Saturation)], 146);
    EXPECT_EQ(shown[size_t(TuningSlider::Contrast)], 100);

    ClickSliderEnd(TuningSlider::Hue);
    const TuningBlock& after = *Doc().objects[0].Tuning();
    EXPECT_EQ(after.brightness, 0.29f);
    EXPECT_EQ(after.saturation, 1.46f);
    EXPECT_GT(after.hue, 170.0f);

    // The other photo's tuning is off: it shows the defaults, and its first change starts there.
    ClickObject(1);
    ASSERT_TRUE(Doc().objects[1].Selected());
    EXPECT_EQ(tuning->Positions(), DefaultTuningPositions());
    ClickSliderEnd(TuningSlider::Contrast);
    const TuningBlock& second = *Doc().objects[1].Tuning();
    EXPECT_EQ(second.active, 1);
    EXPECT_EQ(second.colour, 0.0f);
    EXPECT_EQ(second.hue, 0.0f);
    EXPECT_GT(second.contrast, 3.9f);

    // Undo brings the first change's look back into the sliders as well.
    window->RunCommand(cmd::kUndo);
    EXPECT_EQ(tuning->Positions(), DefaultTuningPositions());
}

TEST_F(TuningReadBackTest, ATextSelectionShowsTheDefaults) {
    AddPhoto(80, 60, 50, 50);
    TuningBlock& t = *Doc().objects[0].Tuning();
    t.active = 1;
    t.gamma = 2.0f;
    ClickObject(0);
    EXPECT_EQ(tuning->Positions()[size_t(TuningSlider::Gamma)], 200);
    WriteFixedText(Doc().textTemplate.text, QStringLiteral("Words"));
    Doc().AddText();
    ClickObject(1);
    ASSERT_TRUE(Doc().objects[1].Selected());
    EXPECT_EQ(tuning->Positions(), DefaultTuningPositions());
}

} // namespace
} // namespace mosaiq
