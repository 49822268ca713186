// The canvas window driven as a user drives it: QTest mouse and key events on the widget.
#include "core/Notifier.h"
#include "canvas/widgets/CCollageCanvas.h"
#include "common/TestSupport.h"

#include "ui/widgets/CVexScrollBar.h"
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <numbers>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

class CanvasWidgetTest : public ::testing::Test {
protected:
    void SetUp() override {
        canvas.resize(800, 600);
        canvas.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&canvas));
    }

    CollageDocument& Doc() { return canvas.Document(); }

    // A clipart of pasted pixels at canvas (x, y), scale s, the only one selected.
    CanvasObject& AddClipart(int w, int h, int x, int y, float s = 1.0f) {
        QImage pixels(w, h, QImage::Format_ARGB32);
        pixels.fill(Qt::darkGreen);
        Doc().AddPastedPicture(pixels, 0, 0, canvas.CanvasRect(), {Doc().width, Doc().height});
        CanvasObject& o = Doc().objects.back();
        o.SetPosition({x, y});
        o.SetScale(s);
        canvas.Redraw();
        return o;
    }

    // Where handle i is on the window, from the last drawing pass.
    QPoint HandleAt(int i) {
        canvas.EnsureRegions();
        const QRectF rect(canvas.Drawing().Handles()[size_t(i)]);
        return canvas.Drawing().HandleTransform().map(rect.center()).toPoint() -
               canvas.ScrollOffset();
    }

    // A shown window's new size arrives through the window system.
    void Resize(int w, int h) {
        canvas.resize(w, h);
        EXPECT_TRUE(QTest::qWaitFor([&] { return canvas.size() == QSize(w, h); }));
    }

    void Drag(QPoint from, QPoint to) {
        QTest::mousePress(&canvas, Qt::LeftButton, {}, from);
        // Several steps, as a real pointer moves.
        for (int step = 1; step <= 4; ++step)
            QTest::mouseMove(&canvas, from + (to - from) * step / 4);
        QTest::mouseRelease(&canvas, Qt::LeftButton, {}, to);
    }

    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    CCollageCanvas canvas;
};

TEST_F(CanvasWidgetTest, DraggingSizeHandleFiveScalesUniformly) {
    CanvasObject& o = AddClipart(100, 60, 100, 100);
    const QPoint h5 = HandleAt(5);
    // The handle's centre sits 4 pixels outside the edge: end 100 pixels from the object's centre,
    // twice the half width.
    Drag(h5, h5 + QPoint(46, 0));
    EXPECT_FLOAT_EQ(o.Scale(), 2.0f);
    // Height doubled with the width, about the kept centre (150, 130).
    EXPECT_EQ(o.Position(), QPoint(50, 70));
    canvas.EnsureRegions();
    const QRectF box = o.screenRegion.boundingRect();
    EXPECT_NEAR(box.width(), 200, 1);
    EXPECT_NEAR(box.height(), 120, 1);
    EXPECT_EQ(Doc().History().Count(), 1);
}

TEST_F(CanvasWidgetTest, ATenByFiveClipartStopsAtSixteenFifteenths) {
    CanvasObject& o = AddClipart(10, 5, 50, 50, 8.0f); // 80 x 40 on screen
    const QPoint corner = HandleAt(4);
    const QPoint centre = Doc().view.SurfaceToWindow(ObjectCentre(o, 1.0f));
    Drag(corner, centre);
    EXPECT_FLOAT_EQ(o.Scale(), 16.0f / 15.0f);
}

TEST_F(CanvasWidgetTest, RotationHandlesTurnByTheirReferenceAngles) {
    struct Case {
        int handle;
        QPoint target; // relative to the centre
        float expected;
    } cases[] = {
        {8, {-100, 0}, -45.0f},  // top-left corner sits at 45 degrees
        {9, {-100, 0}, 45.0f},   // bottom-left at -45
        {10, {0, -100}, -45.0f}, // top-right at 135; straight above is 90
        {11, {100, 0}, 315.0f},  // bottom-right at -135; straight right is 180 (not wrapped)
    };
    for (const Case& c : cases) {
        Doc().Clear();
        CanvasObject& o = AddClipart(100, 100, 200, 200);
        const QPoint centre = Doc().view.SurfaceToWindow(ObjectCentre(o, 1.0f));
        Drag(HandleAt(c.handle), centre + c.target);
        EXPECT_NEAR(o.Angle(), c.expected, 0.01f) << "handle " << c.handle;
    }
}

TEST_F(CanvasWidgetTest, StampsFallOnEveryThirdMoveAcrossTwoStrokes) {
    QImage brush(10, 10, QImage::Format_ARGB32);
    brush.fill(Qt::black);
    Doc().brushPictures.push_back(brush);
    canvas.SetPaintMode(true);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, {100, 100});
    QTest::mouseMove(&canvas, {110, 100});
    QTest::mouseMove(&canvas, {120, 100});
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, {120, 100});
    EXPECT_EQ(Doc().objects.size(), 1u); // the press stamp only
    QTest::mousePress(&canvas, Qt::LeftButton, {}, {300, 300});
    QTest::mouseMove(&canvas, {310, 300}); // the third move overall
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, {310, 300});
    ASSERT_EQ(Doc().objects.size(), 3u);
    EXPECT_EQ(Doc().objects[2].Position(), Doc().view.WindowToCanvas(310, 300) - QPoint(25, 25));
    EXPECT_EQ(Doc().History().Count(), 2); // one snapshot per stroke
}

TEST_F(CanvasWidgetTest, MoveToTopOnTheTopmostObjectRecordsNothing) {
    AddClipart(50, 50, 0, 0);
    AddClipart(50, 50, 100, 0);
    QSignalSpy history(&canvas, &CCollageCanvas::historyChanged);
    canvas.MoveToTop();
    canvas.MoveToBottom();
    EXPECT_EQ(history.count(), 1); // only the move to the bottom
    EXPECT_EQ(Doc().objects[0].Position(), QPoint(100, 0));
    EXPECT_EQ(Doc().History().Count(), 1);
}

TEST_F(CanvasWidgetTest, AClickThatDoesNotMoveStillRecords) {
    CanvasObject& o = AddClipart(100, 100, 100, 100);
    o.SetSelected(false);
    Doc().modified = false;
    QSignalSpy history(&canvas, &CCollageCanvas::historyChanged);
    QSignalSpy selection(&canvas, &CCollageCanvas::selectionChanged);
    canvas.EnsureRegions();
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, {150, 150});
    EXPECT_TRUE(Doc().objects[0].Selected());
    EXPECT_EQ(Doc().objects[0].Position(), QPoint(100, 100));
    EXPECT_EQ(Doc().History().Count(), 1);
    EXPECT_EQ(history.count(), 1);
    EXPECT_EQ(selection.count(), 1);
    EXPECT_TRUE(Doc().modified);
}

TEST_F(CanvasWidgetTest, DraggingTheBodyMovesItAndUndoRedoFollow) {
    AddClipart(100, 100, 100, 100);
    Drag({150, 150}, {250, 180});
    EXPECT_EQ(Doc().objects[0].Position(), QPoint(200, 130));
    Drag({250, 180}, {260, 190});
    EXPECT_EQ(Doc().History().Count(), 2);
    canvas.Undo();
    EXPECT_EQ(Doc().objects[0].Position(), QPoint(200, 130));
    canvas.Redo();
    EXPECT_EQ(Doc().objects[0].Position(), QPoint(210, 140));
    // The restored object can be picked again where it is drawn.
    canvas.EnsureRegions();
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, {300, 230});
    EXPECT_TRUE(Doc().objects[0].Selected());
}

TEST_F(CanvasWidgetTest, ClickingEmptySpaceDeselects) {
    AddClipart(100, 100, 100, 100);
    ASSERT_TRUE(Doc().objects[0].Selected());
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, {600, 500});
    EXPECT_FALSE(Doc().objects[0].Selected());
    EXPECT_EQ(Doc().History().Count(), 0);
}

TEST_F(CanvasWidgetTest, DeleteRemovesTheSelectedObject) {
    AddClipart(50, 50, 0, 0);
    AddClipart(50, 50, 100, 0);
    QTest::keyClick(&canvas, Qt::Key_Delete);
    ASSERT_EQ(Doc().objects.size(), 1u);
    EXPECT_EQ(Doc().objects[0].Position(), QPoint(0, 0));
    EXPECT_EQ(Doc().History().Count(), 1);
    // Nothing selected: nothing more goes.
    QTest::keyClick(&canvas, Qt::Key_Delete);
    EXPECT_EQ(Doc().objects.size(), 1u);
}

TEST_F(CanvasWidgetTest, PreviewShowsNoHandlesAndAnyClickOrEscapeAsksToLeave) {
    AddClipart(100, 100, 100, 100);
    QSignalSpy leave(&canvas, &CCollageCanvas::previewEndRequested);
    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_EQ(leave.count(), 0); // Escape means nothing outside a preview

    canvas.SetPreviewMode(true);
    canvas.EnsureRegions();
    EXPECT_EQ(canvas.Drawing().HandleObjectIndex(), -1);
    QTest::keyClick(&canvas, Qt::Key_Escape);
    EXPECT_EQ(leave.count(), 1);
    Drag({150, 150}, {300, 300});
    EXPECT_EQ(leave.count(), 2);
    EXPECT_EQ(Doc().objects[0].Position(), QPoint(100, 100));
    QTest::mouseClick(&canvas, Qt::RightButton, {}, {10, 10});
    EXPECT_EQ(leave.count(), 3);
    QTest::keyClick(&canvas, Qt::Key_Delete);
    EXPECT_EQ(Doc().objects.size(), 1u);

    canvas.SetPreviewMode(false);
    canvas.EnsureRegions();
    EXPECT_EQ(canvas.Drawing().HandleObjectIndex(), 0);
}

TEST_F(CanvasWidgetTest, ZoomSetsTheSurfaceAndTheScrollBars) {
    canvas.SetZoom(1.5f);
    const QSize surface = canvas.SurfaceSize();
    EXPECT_GE(surface.width(), 1536);
    EXPECT_GE(surface.height(), 1152);
    auto* vbar = canvas.findChildren<CVexScrollBar*>().value(0);
    ASSERT_NE(vbar, nullptr);
    for (CVexScrollBar* bar : canvas.findChildren<CVexScrollBar*>()) {
        EXPECT_TRUE(bar->isVisible());
        // The view keeps its margin on both sides of the canvas.
        const int expected = (bar->Orientation() == Qt::Vertical ? 1152 - 600 + 17 : 1536 - 800 + 17) +
                             2 * kViewMargin;
        EXPECT_EQ(bar->Range(), expected);
    }
    canvas.Scroll(Qt::Vertical, 7);
    EXPECT_EQ(canvas.ScrollOffset().y(), 1152 - 600 + 17 + kViewMargin);
    canvas.Scroll(Qt::Horizontal, 3);
    EXPECT_EQ(canvas.ScrollOffset().x(), 100 - kViewMargin);
    // A new zoom starts again from the top left, the margin in view; at zoom 0.5 nothing scrolls.
    canvas.SetZoom(0.5f);
    EXPECT_EQ(canvas.ScrollOffset(), QPoint(-kViewMargin, -kViewMargin));
    EXPECT_EQ(canvas.SurfaceSize(), QSize(800, 600));
    for (CVexScrollBar* bar : canvas.findChildren<CVexScrollBar*>())
        EXPECT_FALSE(bar->isVisible());
}

TEST_F(CanvasWidgetTest, TheOwnScrollBarsScrollTheView) {
    canvas.SetZoom(2.0f);
    CVexScrollBar* vbar = nullptr;
    for (CVexScrollBar* bar : canvas.findChildren<CVexScrollBar*>())
        if (bar->Orientation() == Qt::Vertical)
            vbar = bar;
    ASSERT_NE(vbar, nullptr);
    // The down arrow moves one pixel, the track below the thumb a page of 100.
    QTest::mouseClick(vbar, Qt::LeftButton, {}, vbar->LineDownRect().center());
    EXPECT_EQ(canvas.ScrollOffset().y(), 1 - kViewMargin);
    EXPECT_EQ(vbar->Position(), 1);
    const QRect thumb = vbar->ThumbRect();
    QTest::mouseClick(vbar, Qt::LeftButton, {}, QPoint(thumb.center().x(), thumb.bottom() + 10));
    EXPECT_EQ(canvas.ScrollOffset().y(), 101 - kViewMargin);
    EXPECT_EQ(vbar->Position(), 101);
}

TEST_F(CanvasWidgetTest, AScrolledViewPicksWhatIsShown) {
    canvas.SetZoom(2.0f);
    AddClipart(50, 50, 500, 400); // surface (1000, 800)..(1100, 900)
    Doc().objects[0].SetSelected(false);
    canvas.Scroll(Qt::Horizontal, 4, 600);
    canvas.Scroll(Qt::Vertical, 4, 500);
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, {450, 350});
    EXPECT_TRUE(Doc().objects[0].Selected());
}

TEST_F(CanvasWidgetTest, ShrinkingTheWindowClampsTheScrollOffsets) {
    canvas.SetZoom(1.0f);
    canvas.Scroll(Qt::Vertical, 7);
    EXPECT_EQ(canvas.ScrollOffset().y(), 768 - 600 + 17 + kViewMargin);
    Resize(1200, 700);
    EXPECT_EQ(canvas.ScrollOffset().y(), 768 - 700 + 17 + kViewMargin);
    Resize(1200, 900);
    EXPECT_EQ(canvas.ScrollOffset(), QPoint(-kViewMargin, -kViewMargin));
}

TEST_F(CanvasWidgetTest, CursorsFollowHandlesAndTheSelection) {
    AddClipart(100, 100, 100, 100);
    QTest::mouseMove(&canvas, HandleAt(1));
    EXPECT_EQ(canvas.cursor().shape(), Qt::SizeHorCursor);
    QTest::mouseMove(&canvas, HandleAt(0));
    EXPECT_EQ(canvas.cursor().shape(), Qt::SizeFDiagCursor);
    QTest::mouseMove(&canvas, {150, 150});
    EXPECT_EQ(canvas.cursor().shape(), Qt::SizeAllCursor);
    QTest::mouseMove(&canvas, HandleAt(11));
    EXPECT_EQ(canvas.cursor().shape(), Qt::BitmapCursor); // the program's own rotate cursor
    QTest::mouseMove(&canvas, {600, 500});
    EXPECT_EQ(canvas.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(CanvasWidgetTest, RightClickAsksForTheContextMenu) {
    QSignalSpy menu(&canvas, &CCollageCanvas::contextMenuRequested);
    QContextMenuEvent event(QContextMenuEvent::Mouse, {20, 30}, canvas.mapToGlobal(QPoint(20, 30)));
    QApplication::sendEvent(&canvas, &event);
    ASSERT_EQ(menu.count(), 1);
    EXPECT_EQ(menu.at(0).at(0).toPoint(), canvas.mapToGlobal(QPoint(20, 30)));
}

} // namespace

namespace {

// A band drawn from empty canvas is shown while it is drawn and selects what it encloses; a
// snapped drag shows its guide line and loses it at the release.
TEST_F(CanvasWidgetTest, BandAndGuidesAreDrawnOverTheCollage) {
    AddClipart(100, 60, 100, 100);
    AddClipart(100, 60, 300, 100);
    for (CanvasObject& o : Doc().objects)
        o.SetSelected(false);
    canvas.repaint();
    // Canvas pixels on the window: the view's margin before the canvas.
    const QPoint m = -canvas.ScrollOffset();
    QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(50, 50) + m);
    QTest::mouseMove(&canvas, QPoint(250, 150) + m);
    QTest::mouseMove(&canvas, QPoint(450, 200) + m);
    const QImage during = canvas.grab().toImage();
    // Inside the band but off the objects: the canvas white tinted blue.
    const QColor tinted = during.pixelColor(QPoint(70, 300 / 2 + 30) + m);
    EXPECT_LT(tinted.blue() - tinted.red(), 60);
    EXPECT_GT(tinted.blue(), tinted.red());
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, QPoint(450, 200) + m);
    EXPECT_TRUE(Doc().objects[0].Selected());
    EXPECT_TRUE(Doc().objects[1].Selected());
    EXPECT_EQ(canvas.grab().toImage().pixelColor(QPoint(70, 180) + m), QColor(Qt::white));

    // Object 1 alone, dragged with snapping so that its left edge lands 2 px from object 0's
    // right edge (200): it snaps there and the guide is drawn along x = 200.
    canvas.Interaction().SetSnapToGuides(true);
    QTest::mouseClick(&canvas, Qt::LeftButton, {}, QPoint(350, 130) + m);
    QTest::mousePress(&canvas, Qt::LeftButton, {}, QPoint(350, 130) + m);
    QTest::mouseMove(&canvas, QPoint(300, 180) + m);
    QTest::mouseMove(&canvas, QPoint(252, 230) + m); // left edge 202, top 200
    EXPECT_EQ(Doc().objects[1].Position(), QPoint(200, 200));
    ASSERT_FALSE(canvas.Interaction().Guides().empty());
    const QImage snapped = canvas.grab().toImage();
    const QColor guide = snapped.pixelColor(QPoint(200, 180) + m); // between the two objects' rows
    EXPECT_GT(guide.red(), 150);
    EXPECT_LT(guide.green(), 100);
    QTest::mouseRelease(&canvas, Qt::LeftButton, {}, QPoint(252, 230) + m);
    EXPECT_TRUE(canvas.Interaction().Guides().empty());
}

// The view keeps room around the canvas: the handles of an object at the canvas's corner lie in
// the window and can be grabbed, and the part of an object outside the canvas is veiled, as an
// export leaves it out.
TEST_F(CanvasWidgetTest, HandlesAtTheCanvasEdgeCanBeGrabbedAndWhatIsOutsideIsVeiled) {
    CanvasObject& o = AddClipart(100, 100, 0, 0);
    for (const int handle : {0, 8}) {
        const QPoint at = HandleAt(handle);
        EXPECT_TRUE(canvas.rect().contains(at)) << handle << ": " << at.x() << ", " << at.y();
    }
    Drag(HandleAt(0), HandleAt(0) + QPoint(-6, -6));
    EXPECT_GT(o.Scale(), 1.0f);

    o.SetScale(1.0f);
    o.SetPosition({-20, 100});
    canvas.Redraw();
    const QImage shown = canvas.grab().toImage();
    const QPoint inside = Doc().view.CanvasToWindow(QPointF(50, 150));
    const QPoint outside = Doc().view.CanvasToWindow(QPointF(-10, 150));
    ASSERT_TRUE(shown.rect().contains(outside));
    EXPECT_EQ(shown.pixelColor(inside), QColor(Qt::darkGreen));
    const QColor veiled = shown.pixelColor(outside);
    EXPECT_GT(veiled.red(), 100) << veiled.name().toStdString();
    EXPECT_GT(veiled.green(), QColor(Qt::darkGreen).green());
}

} // namespace
