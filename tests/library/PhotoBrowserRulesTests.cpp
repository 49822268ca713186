// The photo browser's rules without a window: grid geometry, hit testing, caption cutting and
// the selection by click, Ctrl, Shift, band and keys.
#include "library/photos/PhotoGrid.h"
#include "library/photos/PhotoSelection.h"
#include "library/photos/PhotoThumbnail.h"

#include <QBuffer>
#include <QImage>

#include <cstring>

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

std::vector<PictureFileEntry> Records(int n, int w = 400, int h = 300) {
    std::vector<PictureFileEntry> records{static_cast<size_t>(n)};
    for (int i = 0; i < n; ++i) {
        PictureFileEntry& e = records[size_t(i)];
        std::memset(&e, 0, sizeof e);
        e.number = std::uint32_t(i);
        e.width = std::uint32_t(w);
        e.height = std::uint32_t(h);
    }
    return records;
}

TEST(PhotoGrid, ColumnsLeaveRoomForTheScrollBar) {
    PhotoGrid grid;
    grid.SetClient(QSize(84, 300), 4); // narrower than 17 + 68
    EXPECT_EQ(grid.Columns(), 0);
    EXPECT_EQ(grid.HitTest(QPoint(30, 30)), -1);
    EXPECT_EQ(grid.EndShown(), 0);
    grid.SetClient(QSize(85, 300), 4);
    EXPECT_EQ(grid.Columns(), 1);
    grid.SetClient(QSize(154, 300), 4); // the browser's area in the main window
    EXPECT_EQ(grid.Columns(), 2);
}

TEST(PhotoGrid, MaximumOffsetAndClamping) {
    PhotoGrid grid;
    grid.SetClient(QSize(17 + 3 * 68, 200), 9);
    EXPECT_EQ(grid.MaxOffset(), 3 * 68 + 33 - 200); // 37
    EXPECT_TRUE(grid.NeedsScrollBar());
    EXPECT_TRUE(grid.SetOffset(500));
    EXPECT_EQ(grid.Offset(), 37);
    grid.SetOffset(-5);
    EXPECT_EQ(grid.Offset(), 0);
    // Everything fits: no bar, offset 0.
    grid.SetClient(QSize(17 + 3 * 68, 300), 9);
    EXPECT_EQ(grid.MaxOffset(), 0);
    EXPECT_FALSE(grid.NeedsScrollBar());
    // A shrinking list pulls the offset back.
    grid.SetClient(QSize(17 + 3 * 68, 100), 30);
    grid.SetOffset(10000);
    grid.SetClient(QSize(17 + 3 * 68, 100), 3);
    EXPECT_EQ(grid.Offset(), grid.MaxOffset());
}

TEST(PhotoGrid, CellsThumbnailsAndCaptions) {
    PhotoGrid grid;
    grid.SetClient(QSize(17 + 2 * 68, 400), 5);
    EXPECT_EQ(grid.Cell(0), QRect(5, 10, 58, 48));
    EXPECT_EQ(grid.Cell(1), QRect(73, 10, 58, 48));
    EXPECT_EQ(grid.Cell(2), QRect(5, 78, 58, 48));
    EXPECT_EQ(grid.Caption(0), QRect(7, 58, 56, 20));
    // A landscape picture fills the cell's width; a small one keeps its size; both centred.
    EXPECT_EQ(grid.Thumbnail(0, 400, 200), QRect(5, 10 + (48 - 29) / 2, 58, 29));
    EXPECT_EQ(grid.Thumbnail(0, 300, 400), QRect(5 + (58 - 36) / 2, 10, 36, 48));
    EXPECT_EQ(grid.Thumbnail(0, 20, 10), QRect(5 + 19, 10 + 19, 20, 10));
    grid.SetClient(QSize(17 + 2 * 68, 100), 20);
    grid.SetOffset(68);
    EXPECT_EQ(grid.Cell(2), QRect(5, 10, 58, 48));
}

TEST(PhotoGrid, CellsAboveAndBelowTheClientAreNotShownOrHit) {
    PhotoGrid grid;
    grid.SetClient(QSize(17 + 68, 200), 10); // one column
    grid.SetOffset(100);
    // Cell 0 spans 10 … 58 − 100: above; cell 1 spans −22 … 26: partly shown.
    EXPECT_TRUE(grid.IsAbove(0));
    EXPECT_FALSE(grid.IsAbove(1));
    EXPECT_EQ(grid.FirstShown(), 1);
    // Tops: cell 3 at 114, cell 4 at 182 > 200 − 26.
    EXPECT_FALSE(grid.IsBelow(3));
    EXPECT_TRUE(grid.IsBelow(4));
    EXPECT_EQ(grid.EndShown(), 4);
    EXPECT_EQ(grid.HitTest(QPoint(20, 20)), 1);
    EXPECT_EQ(grid.HitTest(QPoint(20, 30)), -1); // between cells
    EXPECT_EQ(grid.HitTest(QPoint(2, 20)), -1);  // in the cell margin
}

TEST(PhotoGrid, TheBottomButtonBandNeverHits) {
    PhotoGrid grid;
    grid.SetClient(QSize(17 + 68, 90), 3);
    // Cell 0 spans y 10 … 58; the band starts at 90 − 26 = 64. Cell 1 starts at 78.
    EXPECT_EQ(grid.HitTest(QPoint(20, 57)), 0);
    EXPECT_EQ(grid.HitTest(QPoint(20, 80)), -1);
    grid.SetClient(QSize(17 + 68, 70), 3);
    EXPECT_EQ(grid.HitTest(QPoint(20, 45)), -1); // inside cell 0, inside the band
    EXPECT_EQ(grid.HitTest(QPoint(20, 43)), 0);
}

TEST(PhotoGrid, OffsetToShowACell) {
    PhotoGrid grid;
    grid.SetClient(QSize(17 + 68, 200), 10);
    EXPECT_EQ(grid.OffsetToShow(0), 0);
    const int down = grid.OffsetToShow(5); // cell 5 spans 350 … 398, caption to 418
    EXPECT_EQ(down, 418 - (200 - 26));
    grid.SetOffset(down);
    EXPECT_EQ(grid.OffsetToShow(5), down);
    EXPECT_EQ(grid.OffsetToShow(1), 68);
}

TEST(CutTextToFit, CaptionsAndPaths) {
    // A 40-character name in a 58-pixel caption with "T" 7 pixels wide: 8 fit.
    const QString name = QString(36, QLatin1Char('a')) + QStringLiteral(".jpg");
    EXPECT_EQ(CutTextToFit(name, 58 / 7), QStringLiteral("aaaa... "));
    EXPECT_EQ(CutTextToFit(QStringLiteral("short.jpg"), 9), QStringLiteral("short.jpg"));
    EXPECT_EQ(CutTextToFit(QStringLiteral("abc"), 2), QStringLiteral("..."));
    EXPECT_EQ(CutTextToFit(QStringLiteral("abcdef"), 3), QStringLiteral("... "));
    EXPECT_EQ(CutTextToFit(QStringLiteral("abcdef"), 0), QStringLiteral("... "));
}

class PhotoSelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        records = Records(8);
        selection.SetRecords(records);
    }
    std::vector<int> Selected() const { return selection.SelectedRecords(); }

    std::vector<PictureFileEntry> records;
    PhotoSelection selection;
};

TEST_F(PhotoSelectionTest, PlainClickSelectsOneAndKeepsAGroupForDragging) {
    EXPECT_TRUE(selection.Click(2, false, false));
    EXPECT_EQ(Selected(), (std::vector<int>{2}));
    EXPECT_EQ(selection.Anchor(), 2);
    EXPECT_TRUE(selection.Click(4, true, false));
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4}));
    // An already selected photo keeps the others selected.
    EXPECT_FALSE(selection.Click(2, false, false));
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4}));
    EXPECT_EQ(selection.Anchor(), 2);
    // An unselected one replaces them.
    EXPECT_TRUE(selection.Click(6, false, false));
    EXPECT_EQ(Selected(), (std::vector<int>{6}));
}

TEST_F(PhotoSelectionTest, CtrlToggles) {
    selection.Click(1, false, false);
    EXPECT_TRUE(selection.Click(1, true, false));
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(selection.Anchor(), 1); // an unselected photo does not take the anchor away
    selection.Click(5, true, false);
    EXPECT_EQ(selection.Anchor(), 5);
}

TEST_F(PhotoSelectionTest, ShiftSelectsTheRangeFromTheAnchor) {
    selection.Click(5, false, false);
    selection.Click(0, true, false); // Ctrl-click anchors 0
    EXPECT_TRUE(selection.Click(2, false, true));
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(selection.Anchor(), 0);
    // The range runs from the anchor both ways and the anchor stays.
    selection.Click(3, false, false);
    selection.Click(6, false, true);
    EXPECT_EQ(Selected(), (std::vector<int>{3, 4, 5, 6}));
    selection.Click(1, false, true);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(selection.Anchor(), 3);
    // Ctrl+Shift, or Shift without an anchor, selects the one photo and anchors it.
    selection.Click(7, true, true);
    EXPECT_EQ(Selected(), (std::vector<int>{1, 2, 3, 7}));
    EXPECT_EQ(selection.Anchor(), 7);
    selection.ClearAll();
    selection.Click(4, false, true);
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    EXPECT_EQ(selection.Anchor(), 4);
}

TEST_F(PhotoSelectionTest, HiddenRecordsAreSkippedInRangesAndLoseTheirFlag) {
    selection.Click(3, false, false);
    records[3].hidden = 1;
    records[5].hidden = 1;
    selection.SetRecords(records);
    EXPECT_EQ(selection.Anchor(), -1);
    EXPECT_TRUE(Selected().empty());
    EXPECT_EQ(selection.VisibleCount(), 6);
    EXPECT_EQ(selection.RecordAt(3), 4);
    EXPECT_EQ(selection.PositionOf(5), -1);
    selection.Click(2, false, false); // record 2
    selection.Click(4, false, true);  // position 4 is record 6
    EXPECT_EQ(Selected(), (std::vector<int>{2, 4, 6}));
}

TEST_F(PhotoSelectionTest, BandSelectsThumbnailsStrictlyInside) {
    PhotoGrid grid;
    grid.SetClient(QSize(17 + 2 * 68, 400), selection.VisibleCount());
    const QRect t0 = grid.Thumbnail(0, 400, 300); // (5, 12) 58 x 43
    // A band exactly on the thumbnail's edges does not hold it; one pixel more does.
    EXPECT_FALSE(selection.ApplyBand(grid, records, t0));
    EXPECT_TRUE(selection.ApplyBand(grid, records, t0.adjusted(-1, -1, 1, 1)));
    EXPECT_EQ(Selected(), (std::vector<int>{0}));
    // Reversed corners work the same; leaving the band deselects.
    const QRect two(QPoint(140, 140), QPoint(0, 0));
    selection.ApplyBand(grid, records, two);
    EXPECT_EQ(Selected(), (std::vector<int>{0, 1, 2, 3}));
    selection.ApplyBand(grid, records, QRect(0, 70, 150, 70));
    EXPECT_EQ(Selected(), (std::vector<int>{2, 3}));
}

TEST_F(PhotoSelectionTest, KeysMoveTheAnchorAndCtrlASelectsAll) {
    // No anchor: the first photo.
    EXPECT_EQ(selection.Step(PhotoSelection::Direction::Right, 3), 0);
    EXPECT_EQ(selection.Step(PhotoSelection::Direction::Right, 3), 1);
    EXPECT_EQ(selection.Step(PhotoSelection::Direction::Down, 3), 4);
    EXPECT_EQ(Selected(), (std::vector<int>{4}));
    EXPECT_EQ(selection.Step(PhotoSelection::Direction::Right, 3), 5);
    // Right at the row's end and down past the last photo do nothing.
    EXPECT_EQ(selection.Step(PhotoSelection::Direction::Right, 3), -1);
    EXPECT_EQ(selection.Step(PhotoSelection::Direction::Down, 3), -1);
    EXPECT_EQ(selection.Anchor(), 5);
    // One column: up and down move by one.
    EXPECT_EQ(selection.Step(PhotoSelection::Direction::Up, 1), 4);
    EXPECT_EQ(selection.Step(PhotoSelection::Direction::Left, 1), -1);

    selection.ClearAll();
    EXPECT_TRUE(selection.SelectAll());
    EXPECT_EQ(Selected().size(), 8u);
    EXPECT_EQ(selection.Anchor(), 0);
    EXPECT_FALSE(selection.SelectAll());
}

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

TEST(PhotoThumbnail, StoredBottomUpAndTurnedByTheRecordsRotation) {
    // Stored rows: red first (the picture's bottom), blue last (its top).
    QImage stored(4, 2, QImage::Format_RGB32);
    stored.fill(Qt::blue);
    for (int x = 0; x < 4; ++x)
        stored.setPixel(x, 0, qRgb(255, 0, 0));
    const QByteArray bytes = Encoded(stored, "PNG");
    const QImage upright = DecodePhotoThumbnail(bytes, 0);
    ASSERT_EQ(upright.size(), QSize(4, 2));
    EXPECT_EQ(upright.pixelColor(0, 0), QColor(Qt::blue));
    EXPECT_EQ(upright.pixelColor(0, 1), QColor(Qt::red));
    // A quarter turn clockwise puts the top row on the right.
    const QImage turned = DecodePhotoThumbnail(bytes, 1);
    ASSERT_EQ(turned.size(), QSize(2, 4));
    EXPECT_EQ(turned.pixelColor(1, 0), QColor(Qt::blue));
    EXPECT_EQ(turned.pixelColor(0, 0), QColor(Qt::red));
    EXPECT_EQ(DecodePhotoThumbnail(bytes, 4).size(), QSize(4, 2)); // only the low two bits count
}

TEST(PhotoThumbnail, OnlySmallReadablePicturesAreDecoded) {
    EXPECT_TRUE(DecodePhotoThumbnail(QByteArray(), 0).isNull());
    EXPECT_TRUE(DecodePhotoThumbnail(QByteArray("not a picture"), 0).isNull());
    QImage big(kMaxThumbnailSide + 1, 8, QImage::Format_RGB32);
    big.fill(Qt::gray);
    EXPECT_TRUE(DecodePhotoThumbnail(Encoded(big, "PNG"), 0).isNull());
    QImage ok(80, 80, QImage::Format_RGB32);
    ok.fill(Qt::gray);
    EXPECT_EQ(DecodePhotoThumbnail(Encoded(ok, "JPEG"), 0).size(), QSize(80, 80));
}

} // namespace
} // namespace mosaiq
