// The colour picker with its popup and the colour palette, driven by simulated input; the colour
// dialog is answered by a ScriptedDialogProvider.
#include "ui/NamedColours.h"
#include "ui/WebPalette.h"
#include "ui/widgets/CBitmapButton.h"
#include "ui/widgets/CColourPalette.h"
#include "ui/widgets/CColourPopup.h"
#include "ui/widgets/CVexColourPicker.h"
#include "ui/widgets/DialogProvider.h"

#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

struct PickerFixture : ::testing::Test {
    void SetUp() override {
        SetDialogProvider(&dialogs);
        window.setGeometry(100, 100, 200, 60);
        picker = new CVexColourPicker(&window);
        picker->setGeometry(10, 10, 90, 20);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { SetDialogProvider(nullptr); }

    CColourPopup* Open(Colorref colour) {
        picker->SetColour(colour);
        QTest::mouseClick(picker, Qt::LeftButton, {}, QPoint(30, 10));
        return picker->Popup();
    }
    // Moves onto the item from a point over no item, so the move is always a change.
    void Hover(CColourPopup* popup, int item) {
        QTest::mouseMove(popup, QPoint(1, 0)); // (0, 0) would mean the centre to QTest
        QTest::mouseMove(popup, popup->Layout().ItemRect(item).center());
    }

    ScriptedDialogProvider dialogs;
    QWidget window;
    CVexColourPicker* picker = nullptr;
};

TEST_F(PickerFixture, SelectedIndexForTableAutomaticAndOtherColours) {
    CColourPopup* popup = Open(MakeColorref(255, 215, 0));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(popup->SelectedIndex(), 25);
    QTest::keyClick(popup, Qt::Key_Escape);
    popup = Open(kAutomaticColour);
    EXPECT_EQ(popup->SelectedIndex(), kPopupAutomatic);
    QTest::keyClick(popup, Qt::Key_Escape);
    popup = Open(MakeColorref(1, 2, 3));
    EXPECT_EQ(popup->SelectedIndex(), kPopupMoreColours);
    QTest::keyClick(popup, Qt::Key_Escape);
    picker->SetDefaultText(QString());
    picker->SetCustomText(QString());
    popup = Open(MakeColorref(1, 2, 3));
    EXPECT_EQ(popup->SelectedIndex(), kPopupNone);
    EXPECT_FALSE(popup->Layout().HasAutomatic());
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST_F(PickerFixture, OpeningSendsDropDownAndClickOnCellEndsWithItsColour) {
    QSignalSpy dropped(picker, &CVexColourPicker::dropDown);
    QSignalSpy closed(picker, &CVexColourPicker::closeUp);
    QSignalSpy ended(picker, &CVexColourPicker::selectionEnded);
    QSignalSpy changed(picker, &CVexColourPicker::selectionChanged);
    CColourPopup* popup = Open(MakeColorref(0, 0, 0));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(dropped.count(), 1);
    const QPoint corner = picker->mapToGlobal(QPoint(0, picker->height()));
    EXPECT_EQ(popup->geometry().left(), corner.x());
    EXPECT_NEAR(popup->geometry().top(), corner.y(), 1); // the window system may round
    const QPoint cell = popup->Layout().Cell(16).center();
    QTest::mouseMove(popup, cell);
    QTest::mouseClick(popup, Qt::LeftButton, {}, cell);
    EXPECT_EQ(picker->Popup(), nullptr);
    EXPECT_EQ(closed.count(), 1);
    ASSERT_EQ(ended.count(), 1);
    EXPECT_EQ(ended.at(0).at(0).value<Colorref>(), MakeColorref(255, 0, 0));
    EXPECT_EQ(picker->Colour(), MakeColorref(255, 0, 0));
    // One change for the hover, one because the final colour differs from the old one.
    EXPECT_EQ(changed.count(), 2);
}

TEST_F(PickerFixture, HoverReportsCellAutomaticAndInitialForMoreColours) {
    CColourPopup* popup = Open(MakeColorref(10, 20, 30));
    QSignalSpy hover(popup, &CColourPopup::selectionChanged);
    Hover(popup, 3);
    Hover(popup, kPopupAutomatic);
    Hover(popup, kPopupMoreColours);
    ASSERT_EQ(hover.count(), 3);
    EXPECT_EQ(hover.at(0).at(0).value<Colorref>(), MakeColorref(0, 85, 0));
    EXPECT_EQ(hover.at(1).at(0).value<Colorref>(), kAutomaticColour);
    EXPECT_EQ(hover.at(2).at(0).value<Colorref>(), MakeColorref(10, 20, 30));
    EXPECT_EQ(popup->HoverIndex(), kPopupMoreColours);
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST_F(PickerFixture, EscapeAfterHoveringRestoresTheInitialColour) {
    picker->SetTrackSelection(true);
    QSignalSpy cancelled(picker, &CVexColourPicker::selectionCancelled);
    CColourPopup* popup = Open(MakeColorref(0, 0, 139));
    for (int cell : {1, 9, 30})
        Hover(popup, cell);
    EXPECT_EQ(picker->Colour(), MakeColorref(72, 0, 72)) << "track selection shows the hover";
    QTest::keyClick(popup, Qt::Key_Escape);
    ASSERT_EQ(cancelled.count(), 1);
    EXPECT_EQ(cancelled.at(0).at(0).value<Colorref>(), MakeColorref(0, 0, 139));
    EXPECT_EQ(picker->Colour(), MakeColorref(0, 0, 139));
}

TEST_F(PickerFixture, KeyboardMovesAndEnterChooses) {
    QSignalSpy ended(picker, &CVexColourPicker::selectionEnded);
    CColourPopup* popup = Open(MakeColorref(0, 0, 0)); // selected: cell 0
    QTest::keyClick(popup, Qt::Key_Right);
    QTest::keyClick(popup, Qt::Key_Down);
    EXPECT_EQ(popup->HoverIndex(), 9);
    QTest::keyClick(popup, Qt::Key_Return);
    ASSERT_EQ(ended.count(), 1);
    EXPECT_EQ(ended.at(0).at(0).value<Colorref>(), MakeColorref(255, 104, 32));
}

TEST_F(PickerFixture, MoreColoursAsksTheDialog) {
    QSignalSpy ended(picker, &CVexColourPicker::selectionEnded);
    QSignalSpy cancelled(picker, &CVexColourPicker::selectionCancelled);
    dialogs.Answer(QColor(12, 34, 56));
    CColourPopup* popup = Open(MakeColorref(200, 100, 50));
    Hover(popup, kPopupMoreColours);
    QTest::mouseClick(popup, Qt::LeftButton, {}, popup->Layout().MoreBox().center());
    ASSERT_EQ(dialogs.Asked().size(), 1u);
    EXPECT_EQ(dialogs.Asked().front(), QColor(200, 100, 50));
    ASSERT_EQ(ended.count(), 1);
    EXPECT_EQ(picker->Colour(), MakeColorref(12, 34, 56));

    dialogs.Answer(std::nullopt); // the dialog is cancelled: so is the popup
    popup = Open(MakeColorref(12, 34, 56));
    Hover(popup, kPopupMoreColours);
    QTest::keyClick(popup, Qt::Key_Return);
    EXPECT_EQ(ended.count(), 1);
    ASSERT_EQ(cancelled.count(), 1);
    EXPECT_EQ(picker->Colour(), MakeColorref(12, 34, 56));
}

TEST_F(PickerFixture, ReleaseOutsideCancels) {
    QSignalSpy cancelled(picker, &CVexColourPicker::selectionCancelled);
    CColourPopup* popup = Open(MakeColorref(0, 0, 0));
    Hover(popup, 20);
    QTest::mouseClick(popup, Qt::LeftButton, {}, QPoint(-20, -20));
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_EQ(picker->Colour(), MakeColorref(0, 0, 0));
}

TEST_F(PickerFixture, OpensAboveTheButtonNearTheScreenBottom) {
    const QRect screen = window.screen()->geometry();
    window.move(100, screen.bottom() - 45);
    QTest::qWait(10);
    CColourPopup* popup = Open(MakeColorref(0, 0, 0));
    ASSERT_NE(popup, nullptr);
    const int pickerTop = picker->mapToGlobal(QPoint(0, 0)).y();
    EXPECT_EQ(popup->geometry().bottom(), pickerTop - 1);
    EXPECT_LE(popup->geometry().bottom(), screen.bottom());
    QTest::keyClick(popup, Qt::Key_Escape);
}

TEST_F(PickerFixture, TooltipsNameTheCells) {
    CColourPopup* popup = Open(MakeColorref(0, 0, 0));
    EXPECT_STREQ(NamedColours()[35].name, "Pale green ");
    const QPoint cell = popup->Layout().Cell(35).center();
    QHelpEvent help(QEvent::ToolTip, cell, popup->mapToGlobal(cell));
    QApplication::sendEvent(popup, &help);
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Pale green "));
    QTest::keyClick(popup, Qt::Key_Escape);
}

struct PaletteFixture : ::testing::Test {
    void SetUp() override {
        SetDialogProvider(&dialogs);
        palette.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&palette));
    }
    void TearDown() override { SetDialogProvider(nullptr); }
    ScriptedDialogProvider dialogs;
    CColourPalette palette;
};

TEST_F(PaletteFixture, ClickOnASquarePicksItAndNotifies) {
    EXPECT_EQ(palette.Colour(), MakeColorref(150, 150, 150));
    QSignalSpy chosen(&palette, &CColourPalette::colourChosen);
    QTest::mouseClick(&palette, Qt::LeftButton, {}, QPoint(9, 45)); // band 1, column 0, row 0
    EXPECT_EQ(palette.Colour(), WebSafeColour(1, 0, 0));
    EXPECT_EQ(chosen.count(), 1);
    const QImage image = palette.grab().toImage();
    EXPECT_EQ(image.pixelColor(60, 92), QColor(153, 0, 0)) << "the preview shows it";
}

TEST_F(PaletteFixture, GridLinesAndBackgroundChangeNothing) {
    QSignalSpy chosen(&palette, &CColourPalette::colourChosen);
    QTest::mouseMove(&palette, QPoint(10, 3));
    const Colorref hovered = palette.HoverColour();
    EXPECT_EQ(hovered, WebSafeColour(0, 0, 0));
    for (const QPoint onLine : {QPoint(14, 3), QPoint(10, 7), QPoint(13, 3), QPoint(60, 90)}) {
        QTest::mouseMove(&palette, onLine);
        EXPECT_EQ(palette.HoverColour(), hovered);
        QTest::mouseClick(&palette, Qt::LeftButton, {}, onLine);
        EXPECT_EQ(palette.Colour(), MakeColorref(150, 150, 150));
    }
    EXPECT_EQ(chosen.count(), 0);
}

TEST_F(PaletteFixture, DialogButtonSetsTheColourOnOkOnly) {
    QSignalSpy chosen(&palette, &CColourPalette::colourChosen);
    CBitmapButton* button = palette.DialogButton();
    EXPECT_EQ(button->CommandId(), 10013);
    dialogs.Answer(std::nullopt);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(palette.Colour(), MakeColorref(150, 150, 150));
    EXPECT_EQ(chosen.count(), 0);
    dialogs.Answer(QColor(1, 2, 3));
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(palette.Colour(), MakeColorref(1, 2, 3));
    EXPECT_EQ(chosen.count(), 1);
    EXPECT_EQ(dialogs.Asked().back(), QColor(150, 150, 150));
}

} // namespace
} // namespace mosaiq
