// Simulated input on the owner-drawn controls: bitmap button, slider, skinned dialog, scroll bars.
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CBitmapSlider.h"
#include "ui/widgets/CSkinDialog.h"
#include "ui/widgets/CVexScrollBar.h"

#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

// The darkest grey level among the pixels of a rectangle of the widget's picture.
int DarkestIn(QWidget& widget, const QRect& area) {
    const QImage image = widget.grab().toImage();
    int darkest = 255;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

TEST(BitmapButton, ClickIssuesCommandAndDisabledIgnoresIt) {
    CBitmapButton button(10014);
    button.SetBitmaps(195, 194, 193, 195);
    button.SetThreePart(true);
    button.SetCaption(QStringLiteral("Reset"));
    button.resize(76, 20);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    QSignalSpy commands(&button, &CBitmapButton::commandIssued);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_EQ(button.State(), CBitmapButton::kPressed);
    EXPECT_EQ(button.CurrentBitmap(), 193);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(30, 10));
    ASSERT_EQ(commands.count(), 1);
    EXPECT_EQ(commands.at(0).at(0).toInt(), 10014);
    EXPECT_LT(DarkestIn(button, QRect(20, 4, 36, 12)), 100) << "caption in RGB(60, 60, 60)";

    button.Enable(false);
    EXPECT_EQ(button.State(), CBitmapButton::kDisabled);
    EXPECT_EQ(button.CurrentBitmap(), 195);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(30, 10));
    EXPECT_EQ(commands.count(), 1);
    EXPECT_EQ(button.State(), CBitmapButton::kDisabled);
    EXPECT_GE(DarkestIn(button, QRect(20, 4, 36, 12)), 110) << "grey caption when disabled";

    button.Enable(true);
    EXPECT_EQ(button.State(), CBitmapButton::kNormal);
}

TEST(BitmapButton, ReleaseOutsideTakesThePressBack) {
    CBitmapButton button(7);
    button.resize(60, 20);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    QSignalSpy commands(&button, &CBitmapButton::commandIssued);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(100, 50));
    EXPECT_EQ(commands.count(), 0);
    EXPECT_EQ(button.State(), CBitmapButton::kNormal);
}

struct SliderFixture : ::testing::Test {
    void SetUp() override {
        slider.resize(116, 13); // (width − 16) pixels of travel: one pixel per position
        slider.SetRange(0, 100);
        slider.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&slider));
    }
    CBitmapSlider slider{10003};
};

TEST_F(SliderFixture, ClickOnTrackMovesAndNotifiesAtOnce) {
    slider.SetPosition(0);
    QSignalSpy notes(&slider, &CBitmapSlider::positionChanged);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(87, 6));
    ASSERT_EQ(notes.count(), 1);
    EXPECT_EQ(notes.at(0).at(0).toInt(), 10003);
    EXPECT_EQ(notes.at(0).at(1).toInt(), 75); // 87 × 100 / 116
    EXPECT_EQ(slider.Position(), 75);
    EXPECT_EQ(slider.ThumbRect().left(), 75);
    EXPECT_FALSE(slider.IsDragging());
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(87, 6));
    EXPECT_EQ(notes.count(), 1) << "no drag, so the release says nothing";
}

TEST_F(SliderFixture, DragNotifiesOnlyOnRelease) {
    slider.SetPosition(50);
    QSignalSpy notes(&slider, &CBitmapSlider::positionChanged);
    QTest::mousePress(&slider, Qt::LeftButton, {}, QPoint(58, 6));
    ASSERT_TRUE(slider.IsDragging());
    EXPECT_EQ(notes.count(), 1); // the press itself notifies
    for (int x : {70, 90, 104}) {
        QTest::mouseMove(&slider, QPoint(x, 6));
        EXPECT_EQ(slider.Position(), x * 100 / 116);
    }
    EXPECT_EQ(notes.count(), 1) << "moving while dragging must not notify";
    QTest::mouseRelease(&slider, Qt::LeftButton, {}, QPoint(104, 6));
    ASSERT_EQ(notes.count(), 2);
    EXPECT_EQ(notes.at(1).at(1).toInt(), 89);
    EXPECT_FALSE(slider.IsDragging());
    EXPECT_EQ(slider.State(), CBitmapSlider::kNormal);
}

TEST_F(SliderFixture, ClampsAndReportsPercentOfRange) {
    slider.SetRange(20, 400);
    slider.SetPosition(1000);
    EXPECT_EQ(slider.Position(), 400);
    EXPECT_EQ(slider.TipText(), QStringLiteral("100%"));
    slider.SetPosition(20);
    EXPECT_EQ(slider.TipText(), QStringLiteral("0%"));
    slider.SetRange(5, 5); // an empty range puts the thumb at the start, no division by zero
    EXPECT_EQ(slider.ThumbRect().left(), 0);
    EXPECT_EQ(slider.PositionAt(60), 5);
}

TEST(SkinDialog, MovesWhenDraggedByItsTopBandOnly) {
    CSkinDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Batch Converter"));
    dialog.setGeometry(100, 100, 300, 200);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    const QPoint start = dialog.pos();

    QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(50, 10));
    QTest::mouseMove(&dialog, QPoint(80, 40));
    // The pointer stays where it grabbed the dialog, which has followed it.
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(50, 10));
    EXPECT_EQ(dialog.pos(), start + QPoint(30, 30));

    const QPoint moved = dialog.pos();
    QTest::mousePress(&dialog, Qt::LeftButton, {}, QPoint(50, 25));
    QTest::mouseMove(&dialog, QPoint(90, 70));
    QTest::mouseRelease(&dialog, Qt::LeftButton, {}, QPoint(90, 70));
    EXPECT_EQ(dialog.pos(), moved) << "y = 25 is below the caption band";
}

TEST(SkinDialog, CloseButtonCancels) {
    CSkinDialog dialog;
    dialog.resize(300, 200);
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    CBitmapButton* close = dialog.CloseButton();
    EXPECT_EQ(close->CommandId(), 10010);
    EXPECT_TRUE(QRect(260, 7, 26, 17).contains(close->geometry()));
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    QTest::mouseClick(close, Qt::LeftButton, {}, QPoint(9, 8));
    EXPECT_EQ(rejected.count(), 1);
    EXPECT_FALSE(dialog.isVisible());
}

struct ScrollBarFixture : ::testing::TestWithParam<Qt::Orientation> {
    void SetUp() override {
        bar = std::make_unique<CVexScrollBar>(GetParam());
        bar->resize(GetParam() == Qt::Vertical ? QSize(17, 252) : QSize(252, 17));
        bar->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(bar.get()));
        bar->SetStep(10);
        bar->SetRange(250);
        bar->SetPosition(125);
    }
    // A point at `along` pixels down (or across) the bar, in its middle.
    QPoint At(int along) const {
        return GetParam() == Qt::Vertical ? QPoint(8, along) : QPoint(along, 8);
    }
    std::unique_ptr<CVexScrollBar> bar;
};

TEST_P(ScrollBarFixture, ThumbGeometry) {
    const QRect thumb = bar->ThumbRect();
    const QRect expected(0, 66, 17, 120);
    EXPECT_EQ(thumb, GetParam() == Qt::Vertical ? expected : QRect(66, 0, 120, 17));
}

TEST_P(ScrollBarFixture, ArrowsAndPagingSendTheirCodes) {
    QSignalSpy own(bar.get(), &CVexScrollBar::codeSent);
    QSignalSpy owner(bar.get(), &CVexScrollBar::scrolled);
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, At(5));
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, At(245));
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, At(30));  // track before the thumb
    QTest::mouseClick(bar.get(), Qt::LeftButton, {}, At(220)); // track after the thumb
    ASSERT_EQ(owner.count(), 4);
    const int codes[] = {0, 1, 2, 3};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(owner.at(i).at(0).toInt(), codes[i]);
        EXPECT_EQ(owner.at(i).at(1).toInt(), 125);
    }
    EXPECT_EQ(own.count(), 4);
}

TEST_P(ScrollBarFixture, DraggingTheThumbSendsCodeFive) {
    QSignalSpy owner(bar.get(), &CVexScrollBar::scrolled);
    QTest::mousePress(bar.get(), Qt::LeftButton, {}, At(100));
    EXPECT_EQ(bar->Look(), CVexScrollBar::kPressed);
    QTest::mouseMove(bar.get(), At(140)); // thumb 66 → 106: (106 − 16) / 0.4
    ASSERT_EQ(owner.count(), 1);
    EXPECT_EQ(owner.at(0).at(0).toInt(), 5);
    EXPECT_EQ(owner.at(0).at(1).toInt(), 225);
    EXPECT_EQ(bar->Position(), 225);
    QTest::mouseMove(bar.get(), At(250)); // past the end: ignored
    EXPECT_EQ(owner.count(), 1);
    QTest::mouseRelease(bar.get(), Qt::LeftButton, {}, At(250));
    EXPECT_EQ(owner.count(), 1) << "the end of a drag is not a page click";
    EXPECT_EQ(bar->Position(), 225);
}

INSTANTIATE_TEST_SUITE_P(BothBars, ScrollBarFixture,
                         ::testing::Values(Qt::Vertical, Qt::Horizontal));

} // namespace
} // namespace mosaiq
