// The pointer and keys on a living layout through the canvas's interaction: a drag swaps two
// photos or puts one back, a double click enters cell mode (never on a free photo), the wheel,
// +/- and the arrows move the crop and Esc ends the visit as one step, a gap drags its edges.
#include "CanvasTestScene.h"

#include "canvas/interaction/CanvasInteraction.h"
#include "canvas/layout/LivingLayout.h"
#include "canvas/layout/PhotoArrange.h"

using namespace mosaiq;
using namespace mosaiq::test;

namespace {

class LayoutGestureTest : public ::testing::Test {
protected:
    void SetUp() override {
        scene.doc.width = 400;
        scene.doc.height = 200;
        for (int i = 0; i < 2; ++i) {
            const QString path = scene.WritePicture(QStringLiteral("p%1.png").arg(i),
                                                    SolidImage(800, 600, QColor(40 * i, 90, 30)));
            scene.AddPhoto(path, QSize(800, 600), 0, 0);
        }
        ArrangeOptions options;
        options.family = LayoutFamily::Grid;
        options.spacing = 10;
        options.margin = 0;
        options.fill = true;
        ASSERT_TRUE(ArrangePhotos(scene.doc, {0, 1}, options).ok);
        ASSERT_EQ(scene.doc.layout.CellCount(), 2);
        Draw();
    }

    // A pass of the view: the hit regions are those just drawn.
    void Draw() { scene.Render(); }
    QPoint Centre(int cell) const {
        return scene.doc.layout.cells[size_t(cell)].center().toPoint();
    }
    int Photo(int cell) const { return LayoutMembers(scene.doc)[size_t(cell)]; }
    QRect Crop(int cell) const {
        const PhotoRecord& r = *scene.doc.objects[size_t(Photo(cell))].Photo();
        return QRect(QPoint(r.cropLeft, r.cropTop), QPoint(r.cropRight - 1, r.cropBottom - 1));
    }

    CanvasScene scene;
    CanvasInteraction interaction{scene.doc};
    HandleFrame noHandles;
};

TEST_F(LayoutGestureTest, DragSwapsOnAnotherCellAndPutsBackElsewhere) {
    const int first = Photo(0), second = Photo(1);
    int position = scene.doc.History().Position();
    // Onto its own cell and off the canvas: back where it was.
    for (QPoint to : {Centre(0) + QPoint(5, 5), QPoint(-50, 90)}) {
        interaction.Press(Centre(0), noHandles);
        interaction.Move(to, noHandles);
        EXPECT_EQ(scene.doc.layoutGesture.draggedCell, 0);
        interaction.Release();
        Draw();
        EXPECT_EQ(Photo(0), first);
        EXPECT_EQ(scene.doc.layoutGesture.draggedCell, -1);
        EXPECT_EQ(scene.doc.History().Position(), ++position); // the click's step
    }
    interaction.Press(Centre(0), noHandles);
    interaction.Move(Centre(1), noHandles);
    EXPECT_EQ(scene.doc.layoutGesture.targetCell, 1);
    interaction.Release();
    EXPECT_EQ(Photo(0), second);
    EXPECT_EQ(Photo(1), first);
    EXPECT_EQ(scene.doc.History().Position(), ++position);
    scene.doc.Undo();
    EXPECT_EQ(Photo(0), first);
}

TEST_F(LayoutGestureTest, CellModeMovesTheCropAndIsOneStepPerVisit) {
    // A free photo on top: a double click on it does nothing.
    const QString path = scene.WritePicture(QStringLiteral("free.png"), SolidImage(40, 40, Qt::red));
    scene.AddPhoto(path, QSize(40, 40), 300, 20);
    scene.doc.RecordSnapshot();
    Draw();
    interaction.DoubleClick(QPoint(310, 30));
    EXPECT_FALSE(interaction.Layout().InCellMode());
    EXPECT_FALSE(interaction.LayoutKey(Qt::Key_Plus).has_value());

    const int position = scene.doc.History().Position();
    const QRect start = Crop(0);
    interaction.DoubleClick(Centre(0));
    ASSERT_TRUE(interaction.Layout().InCellMode());
    EXPECT_EQ(scene.doc.layoutGesture.cellModeCell, 0);
    ASSERT_TRUE(interaction.LayoutWheel(Centre(0), 2.0).has_value());
    const QRect zoomed = Crop(0);
    EXPECT_LT(zoomed.width(), start.width());
    ASSERT_TRUE(interaction.LayoutKey(Qt::Key_Left).has_value());
    EXPECT_LT(Crop(0).left(), zoomed.left()); // the picture follows the arrow: it shows more left
    // A drag inside the cell pans.
    const QRect beforeDrag = Crop(0);
    interaction.Press(Centre(0), noHandles);
    interaction.Move(Centre(0) + QPoint(-20, 0), noHandles);
    interaction.Release();
    EXPECT_GT(Crop(0).left(), beforeDrag.left());
    EXPECT_EQ(scene.doc.History().Position(), position); // nothing recorded yet
    ASSERT_TRUE(interaction.LayoutKey(Qt::Key_Escape).has_value());
    EXPECT_FALSE(interaction.Layout().InCellMode());
    EXPECT_EQ(scene.doc.History().Position(), position + 1);
    EXPECT_TRUE(scene.doc.layout.UserCrop(0));
    scene.doc.Undo();
    EXPECT_EQ(Crop(0), start);
    Draw();

    // A click outside ends the visit too (here nothing moved: no step).
    interaction.DoubleClick(Centre(1));
    ASSERT_TRUE(interaction.Layout().InCellMode());
    interaction.Press(Centre(0), noHandles);
    EXPECT_FALSE(interaction.Layout().InCellMode());
    interaction.Release();
}

TEST_F(LayoutGestureTest, AGapShowsASplitterAndDragsItsEdges) {
    const QRectF a = scene.doc.layout.cells[0], b = scene.doc.layout.cells[1];
    const QPoint gap(int((a.right() + b.left()) / 2), int(a.center().y()));
    EXPECT_EQ(interaction.Move(gap, noHandles).cursor, CanvasCursor::SplitSideways);
    EXPECT_NE(interaction.Move(Centre(0), noHandles).cursor, CanvasCursor::SplitSideways);
    const int position = scene.doc.History().Position();
    interaction.Press(gap, noHandles);
    interaction.Move(gap + QPoint(30, 0), noHandles);
    EXPECT_NEAR(scene.doc.layout.cells[0].right(), a.right() + 30, 1e-9);
    EXPECT_NEAR(scene.doc.layout.cells[1].left(), b.left() + 30, 1e-9);
    // Far past the neighbour: it keeps its 40 pixels.
    interaction.Move(gap + QPoint(5000, 0), noHandles);
    EXPECT_NEAR(scene.doc.layout.cells[1].width(), kMinCellSide, 1e-9);
    interaction.Release();
    EXPECT_EQ(scene.doc.History().Position(), position + 1);
    // Each photo took its new cell's shape.
    const PhotoRecord& r = *scene.doc.objects[size_t(Photo(1))].Photo();
    const QRectF cell = scene.doc.layout.cells[1];
    EXPECT_NEAR(double(r.cropRight - r.cropLeft) / (r.cropBottom - r.cropTop),
                cell.width() / cell.height(), 0.02);
}

} // namespace
