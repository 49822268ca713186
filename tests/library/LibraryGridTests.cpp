#include "library/items/DecorationTypes.h"
#include "library/items/LibraryGrid.h"

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

// Ten items in 60 × 60 cells, four columns, 150 pixels high.
LibraryGrid TenItems(int height = 150) {
    LibraryGrid grid;
    grid.SetCellSize(60, 60);
    grid.SetClientSize(QSize(250, height));
    grid.SetCount(10);
    return grid;
}

} // namespace

TEST(LibraryGrid, ColumnsRowsAndMaximumScrollWithItsSpareRow) {
    LibraryGrid grid = TenItems();
    EXPECT_EQ(grid.Columns(), 4);
    EXPECT_EQ(grid.Rows(), 3);
    EXPECT_EQ(grid.MaxScroll(), (3 + 1) * 60 - 150);
    grid.SetScroll(500);
    EXPECT_EQ(grid.Scroll(), 90);
    grid.SetScroll(-5);
    EXPECT_EQ(grid.Scroll(), 0);
    // Everything fits with its spare row: no scrolling at all.
    grid.SetClientSize(QSize(250, 240));
    EXPECT_EQ(grid.MaxScroll(), 0);
}

TEST(LibraryGrid, ItemRectanglesKeepTheMarginsAndFollowTheOffset) {
    LibraryGrid grid = TenItems();
    EXPECT_EQ(grid.ItemRect(0), QRect(QPoint(3, 3), QPoint(56, 56)));
    // Item 5: column 1, row 1.
    EXPECT_EQ(grid.ItemRect(5), QRect(QPoint(63, 63), QPoint(116, 116)));
    grid.SetScroll(40);
    EXPECT_EQ(grid.ItemRect(5), QRect(QPoint(63, 23), QPoint(116, 76)));
    EXPECT_FALSE(grid.ItemRect(10).isValid());
    EXPECT_FALSE(grid.ItemRect(-1).isValid());
}

TEST(LibraryGrid, APanelNarrowerThanOneCellDrawsNothingAndIgnoresClicks) {
    LibraryGrid grid;
    grid.SetCellSize(60, 60);
    grid.SetClientSize(QSize(59, 200));
    grid.SetCount(5);
    EXPECT_EQ(grid.Columns(), 0);
    EXPECT_EQ(grid.EndVisible() - grid.FirstVisible(), 0);
    EXPECT_EQ(grid.HitTest(QPoint(10, 10)), -1);
    EXPECT_EQ(grid.DoubleClickHit(QPoint(10, 10)), -1);
    EXPECT_EQ(grid.MaxScroll(), 0);
    EXPECT_FALSE(grid.ArrowKey(Qt::Key_Right));
}

TEST(LibraryGrid, ClicksHitItemsButNotTheMarginsBetweenThem) {
    LibraryGrid grid = TenItems();
    EXPECT_EQ(grid.HitTest(QPoint(30, 30)), 0);
    EXPECT_EQ(grid.HitTest(QPoint(70, 70)), 5);
    EXPECT_EQ(grid.HitTest(QPoint(58, 30)), -1);   // between items 0 and 1
    EXPECT_EQ(grid.HitTest(QPoint(245, 30)), -1);  // right of the last column
    EXPECT_EQ(grid.HitTest(QPoint(150, 140)), -1); // row 2 has items 8 and 9 only
    grid.SetScroll(60);
    EXPECT_EQ(grid.HitTest(QPoint(30, 30)), 4);
}

TEST(LibraryGrid, VisibleRangeSkipsRowsAboveAndStopsBelow) {
    LibraryGrid grid = TenItems(100);
    EXPECT_EQ(grid.FirstVisible(), 0);
    EXPECT_EQ(grid.EndVisible(), 8); // rows 0 and 1 reach into 100 pixels
    grid.SetScroll(70);
    EXPECT_EQ(grid.FirstVisible(), 4);
    EXPECT_EQ(grid.EndVisible(), 10);
}

TEST(LibraryGrid, DoubleClickNearTheBottomEdgeDoesNothing) {
    LibraryGrid grid = TenItems();
    EXPECT_EQ(grid.DoubleClickHit(QPoint(70, 70)), 5);
    // Row 2 starts at 123, within 30 pixels of the bottom (150).
    EXPECT_EQ(grid.DoubleClickHit(QPoint(30, 130)), -1);
    EXPECT_EQ(grid.HitTest(QPoint(30, 130)), 8); // a single click still selects it
    grid.SetScroll(60);
    EXPECT_EQ(grid.DoubleClickHit(QPoint(30, 70)), 8);
}

TEST(LibraryGrid, WheelAndScrollCodesMoveByOneHundredWithinRange) {
    LibraryGrid grid;
    grid.SetCellSize(60, 60);
    grid.SetClientSize(QSize(120, 120));
    grid.SetCount(20); // 10 rows: maximum 11 × 60 − 120 = 540
    ASSERT_EQ(grid.MaxScroll(), 540);
    grid.Wheel(-120);
    EXPECT_EQ(grid.Scroll(), 100);
    grid.Wheel(-15); // any size of turn is one step
    EXPECT_EQ(grid.Scroll(), 200);
    grid.Wheel(120);
    EXPECT_EQ(grid.Scroll(), 100);
    grid.Wheel(0);
    EXPECT_EQ(grid.Scroll(), 100);
    grid.ApplyScrollCode(3, 0);
    EXPECT_EQ(grid.Scroll(), 200);
    grid.ApplyScrollCode(0, 0);
    EXPECT_EQ(grid.Scroll(), 100);
    grid.ApplyScrollCode(5, 333);
    EXPECT_EQ(grid.Scroll(), 333);
    grid.ApplyScrollCode(7, 0);
    EXPECT_EQ(grid.Scroll(), 540);
    grid.ApplyScrollCode(1, 0);
    EXPECT_EQ(grid.Scroll(), 540);
    grid.ApplyScrollCode(6, 0);
    EXPECT_EQ(grid.Scroll(), 0);
    grid.ApplyScrollCode(2, 0);
    EXPECT_EQ(grid.Scroll(), 0);
}

TEST(LibraryGrid, ArrowKeysWalkTheGridAndScrollToShowTheNewItem) {
    LibraryGrid grid = TenItems(100);
    EXPECT_TRUE(grid.ArrowKey(Qt::Key_Down)); // nothing selected: item 0
    EXPECT_EQ(grid.Selected(), 0);
    EXPECT_FALSE(grid.ArrowKey(Qt::Key_Left));
    EXPECT_FALSE(grid.ArrowKey(Qt::Key_Up));
    EXPECT_TRUE(grid.ArrowKey(Qt::Key_Right));
    EXPECT_EQ(grid.Selected(), 1);
    grid.Select(3);
    EXPECT_FALSE(grid.ArrowKey(Qt::Key_Right)); // end of the row
    grid.Select(1);
    EXPECT_TRUE(grid.ArrowKey(Qt::Key_Down));
    EXPECT_EQ(grid.Selected(), 5);
    // Item 5 spans 63…116: the offset shows it fully with its margin.
    EXPECT_EQ(grid.Scroll(), 20);
    EXPECT_TRUE(grid.ArrowKey(Qt::Key_Down));
    EXPECT_EQ(grid.Selected(), 9);
    EXPECT_GE(grid.ItemRect(9).top(), 0);
    EXPECT_LE(grid.ItemRect(9).bottom(), 99);
    EXPECT_FALSE(grid.ArrowKey(Qt::Key_Down));
    EXPECT_TRUE(grid.ArrowKey(Qt::Key_Up));
    EXPECT_TRUE(grid.ArrowKey(Qt::Key_Up));
    EXPECT_EQ(grid.Selected(), 1);
    EXPECT_EQ(grid.Scroll(), 0);
}

TEST(LibraryGrid, ANewCountClearsTheSelection) {
    LibraryGrid grid = TenItems();
    grid.Select(4);
    grid.SetCount(3);
    EXPECT_EQ(grid.Selected(), -1);
    grid.Select(7);
    EXPECT_EQ(grid.Selected(), -1);
}

TEST(DecorationTypes, EachFamilyHasItsDefaultColour) {
    EXPECT_EQ(DecorationDefaultColour(0), MakeColorref(127, 127, 127));
    EXPECT_EQ(DecorationDefaultColour(1), MakeColorref(200, 120, 60));
    EXPECT_EQ(DecorationDefaultColour(2), MakeColorref(224, 180, 0));
    EXPECT_EQ(DecorationDefaultColour(3), MakeColorref(127, 127, 127));
    EXPECT_EQ(DecorationDefaultColour(4), MakeColorref(255, 150, 0));
    EXPECT_EQ(DecorationDefaultColour(5), MakeColorref(0, 200, 200));
    EXPECT_EQ(DecorationSelectorName(kBrushSelector), QStringLiteral("Brushes"));
    EXPECT_EQ(DecorationSelectorName(kImportedSelector), QStringLiteral("Imported"));
    EXPECT_EQ(DecorationDefaultColour(kImportedSelector), MakeColorref(127, 127, 127));
    EXPECT_TRUE(DecorationSelectorName(8).isEmpty());
    // Families 0-5 show types 1-6, Imported type 7; the brushes are no item type.
    EXPECT_EQ(DecorationSelectorType(0), 1);
    EXPECT_EQ(DecorationSelectorType(5), 6);
    EXPECT_EQ(DecorationSelectorType(kBrushSelector), -1);
    EXPECT_EQ(DecorationSelectorType(kImportedSelector), 7);
    EXPECT_EQ(DecorationSelectorType(8), -1);
}
