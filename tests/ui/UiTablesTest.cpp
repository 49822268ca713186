// The engine half of the ui subsystem: the named colour table, the palette grid, the scroll bar
// thumb arithmetic and the colour popup's geometry and keyboard rules.
#include "ui/ColourPopupLayout.h"
#include "ui/NamedColours.h"
#include "ui/ScrollMetrics.h"
#include "ui/WebPalette.h"

#include <gtest/gtest.h>

#include <set>

namespace mosaiq {
namespace {

TEST(NamedColours, TableOrderNamesAndUniqueness) {
    const auto& table = NamedColours();
    EXPECT_STREQ(table[0].name, "Black");
    EXPECT_EQ(table[9].colour, MakeColorref(255, 104, 32));
    EXPECT_STREQ(table[35].name, "Pale green "); // the trailing blank belongs to the name
    EXPECT_EQ(table[39].colour, MakeColorref(255, 255, 255));
    std::set<Colorref> distinct;
    for (const auto& entry : table) {
        distinct.insert(entry.colour);
        EXPECT_NE(entry.colour, kAutomaticColour);
    }
    EXPECT_EQ(distinct.size(), 40u);
}

TEST(NamedColours, InitialSelection) {
    EXPECT_EQ(InitialPopupSelection(MakeColorref(0, 0, 255), true, true), 13);
    EXPECT_EQ(InitialPopupSelection(kAutomaticColour, true, true), kPopupAutomatic);
    // Without an Automatic box the automatic colour is just a colour not in the table.
    EXPECT_EQ(InitialPopupSelection(kAutomaticColour, false, true), kPopupMoreColours);
    EXPECT_EQ(InitialPopupSelection(MakeColorref(1, 2, 3), true, true), kPopupMoreColours);
    EXPECT_EQ(InitialPopupSelection(MakeColorref(1, 2, 3), true, false), kPopupNone);
}

TEST(WebPalette, GreysAndBands) {
    EXPECT_EQ(PaletteGreyLevel(0), 255);
    EXPECT_EQ(PaletteGreyLevel(10), 23);
    EXPECT_EQ(PaletteGreyLevel(11), 0);
    EXPECT_EQ(WebSafeColour(0, 0, 0), MakeColorref(0, 0, 0));
    EXPECT_EQ(WebSafeColour(0, 7, 2), MakeColorref(51, 51, 102));
    EXPECT_EQ(WebSafeColour(1, 17, 5), MakeColorref(255, 255, 255));
    std::set<Colorref> webSafe;
    for (const PaletteSquare& square : PaletteSquares())
        webSafe.insert(square.colour);
    // 216 web-safe colours; black and white are also greys.
    EXPECT_EQ(PaletteSquares().size(), 12u + 216u);
    EXPECT_EQ(webSafe.size(), 216u + 10u);
}

TEST(WebPalette, ColourAtFollowsSquaresAndGridLines) {
    EXPECT_EQ(PaletteColourAt(3, 3), MakeColorref(255, 255, 255));
    EXPECT_EQ(PaletteColourAt(0, 3), std::nullopt);   // grid line x = 0
    EXPECT_EQ(PaletteColourAt(7, 3), std::nullopt);   // grid line x = 7
    EXPECT_EQ(PaletteColourAt(10, 14), std::nullopt); // grid line y = 14
    EXPECT_EQ(PaletteColourAt(2, 9), MakeColorref(232, 232, 232));
    EXPECT_EQ(PaletteColourAt(8, 1), WebSafeColour(0, 0, 0));
    EXPECT_EQ(PaletteColourAt(9, 43), WebSafeColour(1, 0, 0));
    EXPECT_EQ(PaletteColourAt(127, 82), WebSafeColour(1, 17, 5));
    EXPECT_EQ(PaletteColourAt(13, 3), kPaletteBackground); // the gap column after a square
    EXPECT_EQ(PaletteColourAt(60, 90), kPaletteBackground);
}

TEST(ScrollMetrics, ThumbLengthFollowsStepTimesRange) {
    ScrollMetrics m;
    m.SetLength(252);
    m.SetStep(10);
    m.SetRange(0);
    EXPECT_EQ(m.ThumbLength(), 220); // the whole track
    m.SetRange(250);                 // √2500 = 50: 252 − 50 × 200 / 100 − 32
    EXPECT_EQ(m.ThumbLength(), 120);
    m.SetRange(5000); // capped at 100: the thumb is its two caps
    EXPECT_EQ(m.ThumbLength(), 20);
    m.SetRange(-5);
    EXPECT_EQ(m.Range(), 0);
    EXPECT_EQ(m.ThumbLength(), 220);
}

TEST(ScrollMetrics, PositionSetsThumbAndIgnoresOutOfRange) {
    ScrollMetrics m;
    m.SetLength(252);
    m.SetStep(10);
    m.SetRange(250);
    m.SetPosition(125); // ratio = (252 − 120 − 32) / 250 = 0.4
    EXPECT_FLOAT_EQ(m.Ratio(), 0.4f);
    EXPECT_EQ(m.ThumbStart(), 66);
    m.SetPosition(251);
    EXPECT_EQ(m.Position(), 125);
    m.SetPosition(-1);
    EXPECT_EQ(m.Position(), 125);
    m.SetPosition(250);
    EXPECT_EQ(m.ThumbStart(), 116);
    EXPECT_EQ(m.ThumbStart() + m.ThumbLength(), 252 - 16); // ends at the down arrow
    m.SetRange(0);
    EXPECT_EQ(m.Position(), 0);
}

TEST(ScrollMetrics, DragPositions) {
    ScrollMetrics m;
    m.SetLength(252);
    m.SetStep(10);
    m.SetRange(250);
    m.SetPosition(0);
    EXPECT_EQ(m.DragPosition(16, 40), 100);
    EXPECT_EQ(m.DragPosition(16, 100), 250);
    EXPECT_EQ(m.DragPosition(16, 101), std::nullopt);
    EXPECT_EQ(m.DragPosition(16, -3), std::nullopt);
    ScrollMetrics none;
    none.SetLength(100);
    EXPECT_EQ(none.DragPosition(16, 10), std::nullopt);
    // A bar too short for its thumb has nothing to divide by.
    ScrollMetrics tiny;
    tiny.SetLength(52);
    tiny.SetStep(10);
    tiny.SetRange(10000);
    EXPECT_EQ(tiny.DragPosition(16, 5), std::nullopt);
}

ColourPopupInput PopupInput(bool automatic, bool more) {
    ColourPopupInput in;
    in.margin = 2;
    in.box = 18;
    if (automatic)
        in.automaticText = QSize(50, 13);
    if (more)
        in.moreText = QSize(80, 13);
    in.origin = QPoint(100, 200);
    in.buttonTop = 180;
    in.screen = QRect(0, 0, 1280, 1024);
    return in;
}

TEST(ColourPopupLayout, GeometryWithBothBoxes) {
    const ColourPopupLayout layout(PopupInput(true, true));
    // h = 13 + 4 × 2 + 2 = 23; boxes are h + margin = 25 high.
    EXPECT_EQ(layout.AutomaticBox(), QRect(2, 2, 144, 25));
    EXPECT_EQ(layout.Cell(0), QRect(2, 2 + 27, 18, 18));
    EXPECT_EQ(layout.Cell(39), QRect(2 + 7 * 18, 2 + 27 + 4 * 18, 18, 18));
    const int gridBottom = 5 * 18 + 4 + 4 + 25;
    EXPECT_EQ(layout.MoreBox(), QRect(2, gridBottom, 144, 25));
    EXPECT_EQ(layout.Window(), QRect(100, 200, 148, gridBottom + 4 + 25));
}

TEST(ColourPopupLayout, WideTextWidensAndNoBoxes) {
    ColourPopupInput in = PopupInput(false, true);
    in.moreText = QSize(200, 13);
    const ColourPopupLayout wide(in);
    EXPECT_EQ(wide.Window().width(), 204);
    EXPECT_FALSE(wide.HasAutomatic());
    EXPECT_EQ(wide.Cell(0).topLeft(), QPoint(2, 2));
    const ColourPopupLayout bare(PopupInput(false, false));
    EXPECT_EQ(bare.Window().size(), QSize(148, 94));
}

TEST(ColourPopupLayout, StaysOnScreen) {
    ColourPopupInput in = PopupInput(true, true);
    in.origin = QPoint(1200, 1000);
    in.buttonTop = 980;
    const ColourPopupLayout layout(in);
    EXPECT_EQ(layout.Window().right(), 1279);
    EXPECT_EQ(layout.Window().bottom(), 979); // above the button
    in.origin = QPoint(-30, 10);
    EXPECT_EQ(ColourPopupLayout(in).Window().left(), 0);
}

TEST(ColourPopupLayout, HitTesting) {
    const ColourPopupLayout layout(PopupInput(true, true));
    EXPECT_EQ(layout.ItemAt(QPoint(10, 10)), kPopupAutomatic);
    EXPECT_EQ(layout.ItemAt(layout.MoreBox().center()), kPopupMoreColours);
    for (int i : {0, 7, 8, 26, 39})
        EXPECT_EQ(layout.ItemAt(layout.Cell(i).center()), i);
    EXPECT_EQ(layout.ItemAt(QPoint(1, 40)), std::nullopt);   // the margin left of the grid
    EXPECT_EQ(layout.ItemAt(QPoint(147, 40)), std::nullopt); // right of the eighth column
}

TEST(ColourPopupLayout, KeyboardSteps) {
    const ColourPopupLayout both(PopupInput(true, true));
    EXPECT_EQ(both.Step(7, 1, 0), 8); // right runs on into the next row
    EXPECT_EQ(both.Step(8, -1, 0), 7);
    EXPECT_EQ(both.Step(3, 0, -1), kPopupAutomatic);
    EXPECT_EQ(both.Step(35, 0, 1), kPopupMoreColours);
    EXPECT_EQ(both.Step(kPopupAutomatic, 0, 1), 0);
    EXPECT_EQ(both.Step(kPopupAutomatic, 0, -1), kPopupMoreColours);
    EXPECT_EQ(both.Step(kPopupMoreColours, 0, 1), kPopupAutomatic);
    EXPECT_EQ(both.Step(kPopupMoreColours, 0, -1), 32);
    EXPECT_EQ(both.Step(kPopupNone, 1, 0), 0);
    const ColourPopupLayout bare(PopupInput(false, false));
    EXPECT_EQ(bare.Step(3, 0, -1), 3);
    EXPECT_EQ(bare.Step(39, 1, 0), 39);
}

} // namespace
} // namespace mosaiq
