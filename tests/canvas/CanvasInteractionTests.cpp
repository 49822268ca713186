#include "core/Notifier.h"
#include "canvas/interaction/CanvasInteraction.h"
#include "canvas/document/CollageDocument.h"
#include "canvas/render/Compositor.h"
#include "common/TestSupport.h"
#include "library/items/PictureList.h"

#include <QPainter>
#include <QSignalSpy>

#include <cmath>
#include <cstring>
#include <numbers>

#include <gtest/gtest.h>

using namespace mosaiq;

namespace {

QImage Solid(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(Qt::blue);
    return image;
}

// A clipart of pasted pixels at canvas (x, y), selected as every new object is.
CanvasObject& AddClipart(CollageDocument& doc, int w, int h, int x, int y, float scale = 1.0f) {
    doc.AddPastedPicture(Solid(w, h), 0, 0, QRect(0, 0, doc.width, doc.height),
                         QSize(doc.width, doc.height));
    CanvasObject& o = doc.objects.back();
    o.SetPosition({x, y});
    o.SetScale(scale);
    return o;
}

float Atan2Degrees(float y, float x) {
    return std::atan2(y, x) * 180.0f / std::numbers::pi_v<float>;
}

TEST(CanvasGeometry, HandleCursorsFollowTheHandleDirections) {
    const CanvasCursor expected[] = {
        CanvasCursor::SizeNwSe, CanvasCursor::SizeWE, CanvasCursor::SizeNeSw, CanvasCursor::SizeNS,
        CanvasCursor::SizeNwSe, CanvasCursor::SizeWE, CanvasCursor::SizeNeSw, CanvasCursor::SizeNS,
        CanvasCursor::Rotate,   CanvasCursor::Rotate, CanvasCursor::Rotate,   CanvasCursor::Rotate};
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(HandleCursor(i), expected[i]) << "handle " << i;
    EXPECT_EQ(HandleCursor(12), CanvasCursor::Arrow);
    EXPECT_EQ(HandleCursor(-1), CanvasCursor::Arrow);
}

TEST(CanvasGeometry, HandlesAreTestedThroughTheirTransform) {
    HandleFrame frame;
    frame.rects = SelectionHandleRects(0, 0, 100, 50);
    // Untransformed: handle 0 is (-8, -8)..(0, 0), handle 4 beyond the bottom right corner.
    EXPECT_EQ(HitHandle(frame, QPointF(-4, -4)), 0);
    EXPECT_EQ(HitHandle(frame, QPointF(104, 54)), 4);
    EXPECT_EQ(HitHandle(frame, QPointF(50, 25)), -1);
    // Turned a quarter clockwise about the origin and moved: handle 0 lands at x in (200, 208).
    frame.transform = QTransform().rotate(90) * QTransform::fromTranslate(200, 300);
    EXPECT_EQ(HitHandle(frame, QPointF(204, 296)), 0);
    EXPECT_EQ(HitHandle(frame, QPointF(196, 296)), -1);
    // Empty rectangles (nothing decorated) never hit.
    EXPECT_EQ(HitHandle(HandleFrame{}, QPointF(0, 0)), -1);
}

TEST(CanvasGeometry, PickingWalksFromTheTopAndSkipsUndrawnObjects) {
    CollageDocument doc;
    AddClipart(doc, 10, 10, 0, 0).screenRegion = QPolygonF(QRectF(0, 0, 100, 100));
    AddClipart(doc, 10, 10, 0, 0).screenRegion = QPolygonF(QRectF(50, 50, 100, 100));
    AddClipart(doc, 10, 10, 0, 0); // never drawn: no region
    EXPECT_EQ(HitObject(doc, QPointF(60, 60)), 1);
    EXPECT_EQ(HitObject(doc, QPointF(10, 10)), 0);
    EXPECT_EQ(HitObject(doc, QPointF(160, 160)), -1);
}

TEST(CanvasGeometry, SizeHandleFiveScalesUniformlyAboutTheCentre) {
    CollageDocument doc;
    CanvasObject& o = AddClipart(doc, 100, 50, 100, 100);
    // Centre (150, 125); handle 5 reaches half the width (50) at scale 1.
    EXPECT_EQ(ObjectCentre(o, 1.0f), QPoint(150, 125));
    ASSERT_TRUE(ScaleFromHandle(o, 5, QPoint(250, 125), 1.0f));
    EXPECT_FLOAT_EQ(o.Scale(), 2.0f);
    EXPECT_EQ(o.Position(), QPoint(50, 75)); // height doubled as well, centre kept
    // At zoom 2 the same handle position means half the scale.
    CanvasObject& z = AddClipart(doc, 100, 50, 100, 100);
    ASSERT_TRUE(ScaleFromHandle(z, 5, QPoint(400, 250), 2.0f));
    EXPECT_FLOAT_EQ(z.Scale(), 1.0f);
    EXPECT_EQ(z.Position(), QPoint(100, 100));
}

TEST(CanvasGeometry, CornerAndEdgeHandlesMeasureTheirOwnReach) {
    CollageDocument doc;
    CanvasObject& o = AddClipart(doc, 60, 80, 0, 0);
    // Centre (30, 40); a corner reaches trunc(sqrt(40^2 + 30^2)) = 50, the bottom edge 40.
    ASSERT_TRUE(ScaleFromHandle(o, 4, QPoint(90, 120), 1.0f)); // distance 100
    EXPECT_FLOAT_EQ(o.Scale(), 2.0f);
    CanvasObject& p = AddClipart(doc, 60, 80, 0, 0);
    ASSERT_TRUE(ScaleFromHandle(p, 3, QPoint(30, 100), 1.0f)); // distance 60
    EXPECT_FLOAT_EQ(p.Scale(), 1.5f);
}

TEST(CanvasGeometry, LongReachesAreTruncatedFromTheirExactRoots) {
    // 1892^2 + 3652^2 = 4113^2 - 1: the root is just below 4113 and truncates to 4112, which a
    // single-precision root (rounded up to 4113) would miss.
    CollageDocument doc;
    CanvasObject& o = AddClipart(doc, 200, 100, 0, 0);
    ASSERT_TRUE(ScaleFromHandle(o, 5, QPoint(100 + 1892, 50 + 3652), 1.0f));
    EXPECT_FLOAT_EQ(o.Scale(), 4112.0f / 100.0f);
    // The same for a corner handle's reach: half sizes 3652 and 1892 (a record alone, no pixels).
    ClipartRecord large;
    large.width = 7304;
    large.height = 3784;
    CanvasObject big{ObjectRecord(large)};
    ASSERT_TRUE(ScaleFromHandle(big, 4, QPoint(3652, 1892 + 4112), 1.0f));
    EXPECT_FLOAT_EQ(big.Scale(), 1.0f);
}

TEST(CanvasGeometry, ScalingStopsAtSixteenPixelsOfWidthPlusHeight) {
    CollageDocument doc;
    CanvasObject& o = AddClipart(doc, 10, 5, 20, 20, 4.0f);
    const QPoint centre = ObjectCentre(o, 1.0f);
    ASSERT_TRUE(ScaleFromHandle(o, 4, centre, 1.0f));
    EXPECT_FLOAT_EQ(o.Scale(), 16.0f / 15.0f);
    // The position was set for the computed (zero) size, not recomputed for the floor.
    EXPECT_EQ(o.Position(), centre);
}

TEST(CanvasGeometry, TooSmallToMeasureLeavesTheObjectAlone) {
    CollageDocument doc;
    CanvasObject& o = AddClipart(doc, 1, 1, 5, 5);
    EXPECT_FALSE(ScaleFromHandle(o, 5, QPoint(50, 50), 1.0f));
    EXPECT_FLOAT_EQ(o.Scale(), 1.0f);
    EXPECT_EQ(o.Position(), QPoint(5, 5));
}

TEST(CanvasGeometry, RotationHandlesMeasureFromTheirCorners) {
    CollageDocument doc;
    CanvasObject& o = AddClipart(doc, 100, 100, 0, 0);
    // Centre (50, 50). Putting the pointer on a handle's own corner is no turn.
    const QPoint corners[] = {{0, 0}, {0, 100}, {100, 0}, {100, 100}};
    for (int h = 8; h < 12; ++h)
        EXPECT_NEAR(RotationAngle(o, h, corners[h - 8], 1.0f), 0.0f, 1e-4) << "handle " << h;
    // Straight above the centre: +90 degrees from the centre's view, minus each corner's angle.
    const float above[] = {90.0f - 45.0f, 90.0f + 45.0f, 90.0f - 135.0f, 90.0f + 135.0f};
    for (int h = 8; h < 12; ++h)
        EXPECT_NEAR(RotationAngle(o, h, QPoint(50, 0), 1.0f), above[h - 8], 1e-4);
    // Left of the centre is 0 degrees, so handle 8 reads -45 there.
    EXPECT_NEAR(RotationAngle(o, 8, QPoint(0, 50), 1.0f), -45.0f, 1e-4);
}

TEST(CanvasGeometry, RotationUsesTheZoomedTruncatedCorners) {
    CollageDocument doc;
    CanvasObject& o = AddClipart(doc, 33, 21, 7, 9, 1.5f);
    const float z = 1.25f;
    const float cx = float(int((7 + 33 * 1.5f / 2) * z));
    const float cy = float(int((21 * 1.5f / 2 + 9) * z));
    const float rx = float(int((7 + 33 * 1.5f) * z));
    const float ry = float(int(9 * z));
    const QPoint p(300, 40);
    const float expected = Atan2Degrees(cy - 40, cx - 300) - Atan2Degrees(cy - ry, cx - rx);
    EXPECT_NEAR(RotationAngle(o, 10, p, z), expected, 1e-4);
}

TEST(CanvasGeometry, DraggingMovesFromTheOriginInCanvasPixels) {
    EXPECT_EQ(DraggedPosition({10, 10}, {0, 0}, {5, 7}, 2.0f), QPoint(12, 13));
    EXPECT_EQ(DraggedPosition({10, 10}, {100, 100}, {100, 100}, 0.25f), QPoint(10, 10));
    EXPECT_EQ(DraggedPosition({0, 0}, {50, 50}, {49, 49}, 1.0f), QPoint(-1, -1));
}

TEST(CanvasGeometry, SurfaceAndScrollRangesFollowZoomAndClient) {
    EXPECT_EQ(SurfaceSize({1024, 768}, 1.5f, {800, 600}), QSize(1536, 1152));
    EXPECT_EQ(SurfaceSize({1024, 768}, 0.5f, {800, 600}), QSize(800, 600));
    EXPECT_EQ(ScrollRange(768, 1.5f, 600), 1152 - 600 + 17);
    EXPECT_EQ(ScrollRange(1024, 1.0f, 1041), 0);
    EXPECT_EQ(ScrollRange(1024, 1.0f, 1040), 1);
    EXPECT_EQ(ScrollRange(100, 0.25f, 800), 0);
}

TEST(CanvasGeometry, ScrollCodesMoveAndClamp) {
    struct Case {
        int code, position, current, range, expected;
    } cases[] = {
        {0, 0, 10, 50, 9},    {0, 0, 0, 50, 0},      {1, 0, 10, 50, 11},   {1, 0, 50, 50, 50},
        {2, 0, 150, 500, 50}, {2, 0, 30, 500, 0},    {3, 0, 10, 500, 110}, {3, 0, 450, 500, 500},
        {4, 77, 0, 500, 77},  {5, 900, 0, 500, 500}, {6, 0, 300, 500, 0},  {7, 0, 3, 500, 500},
        {9, 0, 3, 500, 3},    {7, 0, 3, 0, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ApplyScrollCode(c.code, c.position, c.current, c.range), c.expected)
            << "code " << c.code << " from " << c.current;
}

// The interaction state machine against the regions and handles of a real drawing pass.
class InteractionTest : public ::testing::Test {
protected:
    void Draw() {
        QImage surface(SurfaceSize({doc.width, doc.height}, doc.view.zoom, {800, 600}),
                       QImage::Format_ARGB32_Premultiplied);
        QPainter painter(&surface);
        compositor.Render(doc, painter, RenderOptions{});
    }
    HandleFrame Handles() const { return {compositor.Handles(), compositor.HandleTransform()}; }
    QPoint HandleCentre(int i) const {
        return compositor.HandleTransform()
            .map(QRectF(compositor.Handles()[size_t(i)]).center())
            .toPoint();
    }

    test::ScopedDataDir data;
    RecordingNotifier notifier;
    ScopedNotifier scoped{&notifier};
    CollageDocument doc;
    Compositor compositor;
    CanvasInteraction interaction{doc};
};

TEST_F(InteractionTest, PressOnAnObjectSelectsItAndAMoveDragsIt) {
    AddClipart(doc, 100, 100, 0, 0);
    AddClipart(doc, 100, 100, 300, 300);
    Draw();
    auto out = interaction.Press({50, 50}, Handles());
    EXPECT_TRUE(out.capture && out.stateChanged && out.redraw);
    EXPECT_TRUE(doc.objects[0].Selected());
    EXPECT_FALSE(doc.objects[1].Selected());
    out = interaction.Move({80, 70}, Handles());
    EXPECT_EQ(out.cursor, CanvasCursor::Move);
    EXPECT_EQ(doc.objects[0].Position(), QPoint(30, 20));
    const int before = doc.History().Count();
    interaction.Release();
    EXPECT_EQ(doc.History().Count(), before + 1);
    EXPECT_TRUE(doc.modified);
    EXPECT_FALSE(interaction.Moving());
}

TEST_F(InteractionTest, TheMoveCursorShowsOverASelectedObjectUnderAnother) {
    AddClipart(doc, 100, 100, 0, 0);
    AddClipart(doc, 100, 100, 50, 50);
    doc.objects[1].SetSelected(false);
    doc.objects[0].SetSelected(true);
    Draw();
    // (75, 75) lies in both: the top one is not selected, the one under it is.
    EXPECT_EQ(interaction.Move({75, 75}, Handles()).cursor, CanvasCursor::Move);
    // Over the unselected top object alone the pointer stays an arrow.
    EXPECT_EQ(interaction.Move({130, 130}, Handles()).cursor, CanvasCursor::Arrow);
}

TEST_F(InteractionTest, ScrolledAndZoomedMovesUseSurfaceAndCanvasPixels) {
    doc.view.zoom = 2.0f;
    AddClipart(doc, 100, 100, 200, 200); // surface (400, 400)..(600, 600)
    doc.view.scrollX = 300;
    doc.view.scrollY = 300;
    Draw();
    interaction.Press({150, 150}, Handles()); // surface (450, 450)
    interaction.Move({170, 130}, Handles());
    EXPECT_EQ(doc.objects[0].Position(), QPoint(210, 190));
}

TEST_F(InteractionTest, PressOnEmptySpaceDeselectsWithoutHistory) {
    AddClipart(doc, 100, 100, 0, 0);
    doc.view.scrollX = 0;
    Draw();
    const int before = doc.History().Count();
    auto out = interaction.Press({500, 500}, Handles());
    EXPECT_FALSE(doc.objects[0].Selected());
    EXPECT_TRUE(out.redraw && out.stateChanged);
    interaction.Release();
    EXPECT_EQ(doc.History().Count(), before);
}

TEST_F(InteractionTest, HandleDragScalesAndTheReleaseRecordsOnce) {
    AddClipart(doc, 100, 100, 100, 100);
    Draw();
    const QPoint h5 = HandleCentre(5);
    auto out = interaction.Press(h5, Handles());
    EXPECT_TRUE(interaction.HandleDragging());
    EXPECT_EQ(interaction.HandleIndex(), 5);
    EXPECT_TRUE(doc.objects[0].Selected());
    out = interaction.Move(h5 + QPoint(46, 0), Handles()); // the handle sits 4 px off the edge
    EXPECT_TRUE(out.redraw);
    EXPECT_FLOAT_EQ(doc.objects[0].Scale(), 2.0f);
    const int before = doc.History().Count();
    interaction.Release();
    EXPECT_EQ(doc.History().Count(), before + 1);
    EXPECT_FALSE(interaction.HandleDragging());
}

TEST_F(InteractionTest, AHandleDragOfManyStepsKeepsTheCentre) {
    AddClipart(doc, 100, 60, 100, 100); // centre (150, 130)
    Draw();
    const QPoint h5 = HandleCentre(5);
    interaction.Press(h5, Handles());
    for (int step = 1; step <= 37; ++step)
        interaction.Move(h5 + QPoint(step, 0), Handles());
    interaction.Move(h5 + QPoint(46, 0), Handles());
    EXPECT_FLOAT_EQ(doc.objects[0].Scale(), 2.0f);
    EXPECT_EQ(doc.objects[0].Position(), QPoint(50, 70));
}

TEST_F(InteractionTest, HandlesLeftFromAnEarlierSelectionChangeNothing) {
    AddClipart(doc, 100, 100, 100, 100);
    Draw();
    const HandleFrame stale = Handles();
    doc.objects[0].SetSelected(false);
    interaction.Press(HandleCentre(4), stale);
    EXPECT_TRUE(interaction.HandleDragging());
    interaction.Move(HandleCentre(4) + QPoint(30, 30), stale);
    EXPECT_FLOAT_EQ(doc.objects[0].Scale(), 1.0f);
    const int before = doc.History().Count();
    interaction.Release();
    EXPECT_EQ(doc.History().Count(), before);
}

TEST_F(InteractionTest, StampsFallOnEveryThirdMoveAcrossStrokes) {
    doc.brushPictures.push_back(Solid(10, 10));
    doc.brush.brushIndex = 0;
    interaction.SetPaintMode(true);
    const auto stamps = [this] { return int(doc.objects.size()); };
    const int historyBefore = doc.History().Count();

    auto out = interaction.Press({100, 100}, Handles());
    EXPECT_EQ(out.cursor, CanvasCursor::Paint);
    EXPECT_TRUE(doc.modified);
    EXPECT_EQ(stamps(), 1);
    interaction.Move({101, 100}, Handles()); // counter 1
    interaction.Move({102, 100}, Handles()); // counter 2
    EXPECT_EQ(stamps(), 1);
    interaction.Release();
    EXPECT_EQ(doc.History().Count(), historyBefore + 1);

    interaction.Press({200, 200}, Handles());
    EXPECT_EQ(stamps(), 2);
    interaction.Move({201, 200}, Handles()); // counter 3: a stamp
    EXPECT_EQ(stamps(), 3);
    EXPECT_EQ(interaction.PaintCounter(), 3);
    interaction.Move({202, 200}, Handles());
    interaction.Move({203, 200}, Handles());
    EXPECT_EQ(stamps(), 3);
    interaction.Release();
    EXPECT_EQ(doc.History().Count(), historyBefore + 2);

    // Moves with the button up paint nothing and count nothing.
    interaction.Move({300, 300}, Handles());
    EXPECT_EQ(interaction.PaintCounter(), 5);
    EXPECT_EQ(stamps(), 3);
    const auto& stamp = *doc.objects[1].Stamp();
    EXPECT_EQ(stamp.x, 200 - 25); // centred on the press: size 50 over a 10-pixel brush
    EXPECT_EQ(doc.objects[1].Selected(), false);
}

TEST_F(InteractionTest, PaintCounterWrapsAfterAThousand) {
    doc.brushPictures.push_back(Solid(4, 4));
    interaction.SetPaintMode(true);
    interaction.Press({10, 10}, Handles());
    for (int i = 0; i < 1001; ++i)
        interaction.Move({10, 10}, Handles());
    EXPECT_EQ(interaction.PaintCounter(), 0);
    // 1 press stamp + moves 3, 6, ..., 999 + the wrap to 0.
    EXPECT_EQ(int(doc.objects.size()), 1 + 333 + 1);
}

TEST_F(InteractionTest, PaintModeWithoutABrushPaintsNothing) {
    doc.brush.brushIndex = -1;
    interaction.SetPaintMode(true);
    auto out = interaction.Press({10, 10}, Handles());
    EXPECT_FALSE(interaction.Painting());
    EXPECT_TRUE(out.stateChanged);
    EXPECT_TRUE(doc.objects.empty());
}

TEST_F(InteractionTest, PreviewIgnoresEditingAndAsksToLeave) {
    AddClipart(doc, 100, 100, 0, 0);
    doc.objects[0].SetSelected(false);
    Draw();
    interaction.SetPreviewMode(true);
    auto out = interaction.Press({50, 50}, Handles());
    EXPECT_TRUE(out.leavePreview);
    EXPECT_FALSE(out.stateChanged);
    EXPECT_FALSE(doc.objects[0].Selected());
    out = interaction.Move({60, 60}, Handles());
    EXPECT_FALSE(out.redraw);
    EXPECT_FALSE(out.cursor.has_value());
    doc.objects[0].SetSelected(true);
    interaction.KeyDelete();
    EXPECT_EQ(doc.objects.size(), 1u);
    EXPECT_TRUE(interaction.KeyEscape().leavePreview);
    interaction.SetPreviewMode(false);
    EXPECT_FALSE(interaction.KeyEscape().leavePreview);
}

TEST_F(InteractionTest, PickingATextOffersItsText) {
    doc.textTemplate.font.lfHeight = 40;
    std::strcpy(doc.textTemplate.text, "Hello");
    doc.AddText();
    Draw();
    const QPointF centre = doc.objects[0].screenRegion.boundingRect().center();
    auto out = interaction.Press(centre.toPoint(), Handles());
    ASSERT_TRUE(out.textEntry.has_value());
    EXPECT_EQ(*out.textEntry, QStringLiteral("Hello"));
}

TEST_F(InteractionTest, DroppingAClipartAddsItAtThePointer) {
    ASSERT_TRUE(
        WritePictureList(data.File(QStringLiteral("clipart.cfg")), {Solid(7, 3), Solid(10, 5)}));
    doc.view.zoom = 2.0f;
    doc.view.scrollX = 40;
    interaction.SetPaintMode(true);
    interaction.SetPendingItem(2, 1);
    interaction.DropPendingItem({60, 30});
    ASSERT_EQ(doc.objects.size(), 1u);
    const ClipartRecord& c = *doc.objects[0].Clipart();
    EXPECT_EQ(c.width, 10);
    EXPECT_EQ(c.height, 5);
    EXPECT_EQ(doc.objects[0].Position(), QPoint(50, 15)); // (60 + 40) / 2, 30 / 2
    EXPECT_EQ(doc.History().Count(), 1);
    EXPECT_FALSE(interaction.PaintMode());
}

TEST_F(InteractionTest, DroppingAFrameWithoutAPhotoSaysSoAndEndsPainting) {
    interaction.SetPaintMode(true);
    interaction.SetPendingItem(0, 0);
    interaction.DropPendingItem({10, 10});
    ASSERT_EQ(notifier.messages.size(), 1);
    EXPECT_EQ(notifier.messages[0], QStringLiteral("Please select a photo on the canvas."));
    EXPECT_FALSE(interaction.PaintMode());
    // An unknown item type does nothing at all.
    interaction.SetPaintMode(true);
    interaction.SetPendingItem(3, 0);
    interaction.DropPendingItem({10, 10});
    EXPECT_TRUE(interaction.PaintMode());
}

} // namespace
