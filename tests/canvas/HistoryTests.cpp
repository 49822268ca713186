#include "core/Notifier.h"
#include "canvas/document/CollageDocument.h"
#include "common/TestSupport.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

class HistoryTest : public ::testing::Test {
protected:
    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    CollageDocument doc;

    void AddPhoto(int width) { ASSERT_TRUE(doc.AddPhoto(QStringLiteral("p.jpg"), width, 10, 0, 0)); }
    std::vector<int> Widths() const {
        std::vector<int> widths;
        for (const CanvasObject& o : doc.objects)
            widths.push_back(o.Photo()->pictureWidth);
        return widths;
    }
};

} // namespace

TEST_F(HistoryTest, UndoToEmptyAndRedoBack) {
    QSignalSpy history(&doc, &CollageDocument::historyChanged);
    AddPhoto(10);
    EXPECT_EQ(doc.History().Position(), 0);
    EXPECT_EQ(history.count(), 1);

    doc.Undo();
    EXPECT_TRUE(doc.objects.empty());
    EXPECT_EQ(doc.History().Position(), -1);
    EXPECT_TRUE(doc.CanRedo());
    EXPECT_FALSE(doc.CanUndo());

    doc.Redo();
    ASSERT_EQ(doc.objects.size(), 1u);
    EXPECT_EQ(doc.History().Position(), 0);
    EXPECT_FALSE(doc.CanRedo());
    EXPECT_GE(history.count(), 3);
}

TEST_F(HistoryTest, UndoWithNothingRecordedChangesNothing) {
    doc.modified = false;
    doc.Undo();
    EXPECT_FALSE(doc.modified);
    EXPECT_EQ(doc.History().Position(), -1);
    doc.Redo();
    EXPECT_FALSE(doc.modified);
}

TEST_F(HistoryTest, ANewChangeDropsTheRedoTail) {
    AddPhoto(10);
    AddPhoto(20);
    AddPhoto(30);
    doc.Undo();
    doc.Undo();
    EXPECT_EQ(Widths(), std::vector<int>({10}));
    AddPhoto(40);
    EXPECT_EQ(doc.History().Count(), 2);
    EXPECT_FALSE(doc.CanRedo());
    doc.Redo();
    EXPECT_EQ(Widths(), std::vector<int>({10, 40}));
    doc.Undo();
    EXPECT_EQ(Widths(), std::vector<int>({10}));
}

TEST_F(HistoryTest, SnapshotsHoldRecordsWithoutRuntimeState) {
    AddPhoto(10);
    CanvasObject& photo = doc.objects[0];
    photo.SetDragOrigin({5, 6});
    photo.screenRegion = QPolygonF(QRectF(0, 0, 3, 3));
    doc.RecordSnapshot();
    const auto& record = std::get<PhotoRecord>(doc.History().At(1).records[0]);
    EXPECT_EQ(record.dragX, 0);
    EXPECT_EQ(record.runtimeCache, 0u);

    // A restored photo's region matches its box again, whatever the table held.
    doc.objects[0].Photo()->boxWidth = 999;
    doc.Undo();
    doc.Redo();
    const CanvasObject& restored = doc.objects[0];
    EXPECT_TRUE(restored.screenRegion.isEmpty());
    EXPECT_EQ(doc.regionTable.at(size_t(restored.RegionIndex())).size(), restored.RegionSize());
    EXPECT_EQ(restored.Photo()->boxWidth, 10);
}

TEST_F(HistoryTest, ClearingEmptiesHistoryButKeepsPastedPictures) {
    QImage pixels(4, 4, QImage::Format_ARGB32);
    pixels.fill(Qt::blue);
    doc.AddPastedPicture(pixels, 0, 0, QRect(0, 0, 100, 100), QSize(100, 100));
    AddPhoto(10);
    doc.Clear();
    EXPECT_TRUE(doc.objects.empty());
    EXPECT_TRUE(doc.regionTable.empty());
    EXPECT_EQ(doc.History().Position(), -1);
    EXPECT_EQ(doc.pastedPictures.size(), 1u);
}
