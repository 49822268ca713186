// The scrolled list box with its own bars, and what the owner-drawn faces put on the screen.
#include "ui/WebPalette.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CColourPalette.h"
#include "ui/widgets/CQorListBox.h"
#include "ui/widgets/CScrolledListBox.h"
#include "ui/widgets/CVexColourPicker.h"
#include "ui/widgets/CVexComboBox.h"
#include "ui/widgets/CVexScrollBar.h"
#include "ui/widgets/Skin.h"

#include "common/TestSupport.h"
#include "ui/ColorrefColour.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

TEST(ScrollCodes, MoveTheOffsetAndClamp) {
    struct Case {
        ScrollCode code;
        int position, offset, expected;
    };
    const Case cases[] = {
        {ScrollCode::LineUp, 0, 50, 32},     {ScrollCode::LineDown, 0, 50, 68},
        {ScrollCode::PageUp, 0, 50, 0},      {ScrollCode::PageDown, 0, 50, 150},
        {ScrollCode::PageDown, 0, 180, 200}, {ScrollCode::ThumbDrag, 77, 50, 77},
        {ScrollCode::Track, 250, 50, 200},   {ScrollCode::Top, 0, 120, 0},
        {ScrollCode::Bottom, 0, 10, 200},    {ScrollCode::LineUp, 0, 5, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplyScrollCode(int(c.code), c.position, c.offset, 18, 200), c.expected)
            << "code " << int(c.code);
}

QStringList Rows(int count, const QString& stem) {
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows << stem.arg(i);
    return rows;
}

TEST(ScrolledListBox, BarsAppearOnlyWhenTheListDoesNotFit) {
    CScrolledListBox box;
    box.resize(150, 100);
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.List()->SetItems(Rows(3, QStringLiteral("Row %1")));
    box.UpdateBars();
    EXPECT_FALSE(box.VerticalBar()->isVisibleTo(&box));
    EXPECT_FALSE(box.HorizontalBar()->isVisibleTo(&box));
    EXPECT_EQ(box.List()->geometry(), QRect(0, 0, 150, 100));

    box.List()->SetItems(Rows(20, QStringLiteral("A much longer row than the box is wide, %1")));
    box.UpdateBars();
    ASSERT_TRUE(box.VerticalBar()->isVisibleTo(&box));
    ASSERT_TRUE(box.HorizontalBar()->isVisibleTo(&box));
    EXPECT_EQ(box.List()->geometry(), QRect(0, 0, 133, 83));
    EXPECT_EQ(box.VerticalBar()->geometry(), QRect(133, 0, 17, 83));
    EXPECT_EQ(box.VerticalBar()->Range(), 20 * 18 - 83);
    EXPECT_EQ(box.VerticalBar()->Metrics().Step(), 18);
}

TEST(ScrolledListBox, BarsScrollTheListAndSelectionFollows) {
    CScrolledListBox box;
    box.resize(150, 100);
    box.List()->SetItems(Rows(20, QStringLiteral("Row %1")));
    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    box.UpdateBars();
    CVexScrollBar* bar = box.VerticalBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, bar->height() - 5)); // down arrow
    EXPECT_EQ(box.List()->Offset().y(), 18);
    EXPECT_EQ(bar->Position(), 18);
    box.List()->SetCurrentRow(19); // the last row scrolls into view
    EXPECT_EQ(box.List()->Offset().y(), 20 * 18 - 100);
    EXPECT_EQ(bar->Position(), 20 * 18 - 100);
    QSignalSpy clicked(box.List(), &CQorListBox::rowClicked);
    QTest::mouseClick(box.List(), Qt::LeftButton, {}, QPoint(20, 99 - 9));
    ASSERT_EQ(clicked.count(), 1);
    EXPECT_EQ(clicked.at(0).at(0).toInt(), 19);
    EXPECT_EQ(box.List()->RowAt(QPoint(20, 120)), -1);
}

TEST(ComboBox, TopIndexIsWhereTheDropDownStarts) {
    CVexComboBox combo(CVexComboBox::Style::DropDownList);
    for (int i = 0; i < 30; ++i)
        combo.AddString(QStringLiteral("Item %1").arg(i));
    EXPECT_EQ(combo.SetTopIndex(40), -1);
    EXPECT_EQ(combo.SetTopIndex(12), 0);
    EXPECT_EQ(combo.GetTopIndex(), 12);
    combo.resize(100, 20);
    combo.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&combo));
    combo.ShowDropDown(true);
    auto* list = combo.findChild<CQorListBox*>();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->RowAt(QPoint(5, 2)), 12);
    combo.ShowDropDown(false);
}

// Pixels of a widget's picture, at device pixel ratio 1.
QImage Picture(QWidget& w) {
    return w.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

TEST(Painting, PickerSwatchShowsTheCurrentColour) {
    CVexColourPicker picker;
    picker.resize(90, 20);
    picker.SetColour(MakeColorref(255, 104, 32));
    const QImage image = Picture(picker);
    EXPECT_EQ(image.pixelColor(35, 10), QColor(255, 104, 32));
    EXPECT_NE(image.pixelColor(80, 10), QColor(255, 104, 32)) << "the arrow is not the swatch";
    picker.SetTrackMode(1); // now the text colour is the one shown and edited
    picker.SetColour(MakeColorref(0, 0, 255));
    EXPECT_EQ(picker.BackgroundColour(), MakeColorref(255, 104, 32));
    EXPECT_EQ(Picture(picker).pixelColor(35, 10), QColor(0, 0, 255));
}

TEST(Painting, PaletteShowsGreysAndWebSafeSquares) {
    CColourPalette palette;
    palette.resize(133, 101);
    const QImage image = Picture(palette);
    for (const PaletteSquare& square : PaletteSquares()) {
        const QColor expected = ColorFromColorref(square.colour);
        if (image.pixelColor(square.rect.center()) != expected) {
            ADD_FAILURE() << "square at " << square.rect.x() << "," << square.rect.y() << " in "
                          << test::SaveFailureImage(image, QStringLiteral("palette")).toStdString();
            break;
        }
    }
    EXPECT_EQ(image.pixelColor(6, 3), QColor(230, 230, 230));   // gap between greys and bands
    EXPECT_EQ(image.pixelColor(70, 92), QColor(150, 150, 150)); // the preview
}

TEST(Painting, ThreePartButtonKeepsBothCapsAtAnyWidth) {
    for (int width : {40, 118, 260}) {
        CBitmapButton button(1);
        button.SetThreePart(true);
        button.SetBitmaps(206, 205, 204, 206);
        button.resize(width, 20);
        // The face as the button shows it: over the button's RGB(221, 221, 221) ground.
        QImage face(118, 20, QImage::Format_RGB32);
        face.fill(QColor(221, 221, 221));
        QPainter(&face).drawPixmap(0, 0, SkinBitmap(206, 1.0));
        const QImage image = Picture(button);
        for (int y : {0, 10, 19}) {
            EXPECT_EQ(image.pixelColor(0, y), face.pixelColor(0, y)) << width;
            EXPECT_EQ(image.pixelColor(width - 1, y), face.pixelColor(117, y)) << width;
            EXPECT_EQ(image.pixelColor(width / 2, y), face.pixelColor(50, y)) << width;
        }
    }
}

} // namespace
} // namespace mosaiq
