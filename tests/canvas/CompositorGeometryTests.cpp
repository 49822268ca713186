#include "canvas/document/ObjectGeometry.h"
#include "canvas/interaction/SelectionHandles.h"

#include <gtest/gtest.h>

using namespace mosaiq;

TEST(CompositorGeometry, DisplayedSizeIsTruncatedToMultiplesOfFour) {
    struct Case {
        int w, h;
        float scale, zoom;
        QSize expected;
    };
    const Case cases[] = {
        {101, 75, 1.0f, 1.0f, {100, 72}},
        {101, 75, 1.0f, 2.0f, {200, 148}},
        {400, 300, 0.5f, 1.5f, {300, 224}},
        {3, 7, 1.0f, 1.0f, {0, 4}},
        {100, 100, -1.0f, 1.0f, {0, 0}},
        {100, 100, std::nanf(""), 1.0f, {0, 0}},
        {100, 100, 1e30f, 1.0f, {kMaxDisplayedSide, kMaxDisplayedSide}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DisplayedSize(c.w, c.h, c.scale, c.zoom), c.expected)
            << c.w << " x " << c.h << " at scale " << c.scale << ", zoom " << c.zoom;
}

TEST(CompositorGeometry, ObjectTurnsAboutTheCentreOfItsDisplayedBox) {
    const QSize box(100, 40);
    const QTransform t = ObjectTransform(box, 90.0f, 10, 20, 1.5f);
    // The centre (50, 20) of the box lands on (15 + 50, 30 + 20), whatever the angle.
    EXPECT_EQ(t.map(QPointF(50, 20)), QPointF(65, 50));
    // Turned clockwise: the top-left corner goes to the top right of the turned box.
    const QPointF corner = t.map(QPointF(0, 0));
    EXPECT_NEAR(corner.x(), 85, 1e-3);
    EXPECT_NEAR(corner.y(), 0, 1e-3);
}

TEST(CompositorGeometry, RegionFollowsScaleZoomAndAngle) {
    // A region built at regionScale 0.5 (50 x 20 of a 100 x 40 box) shown at scale 1, zoom 2:
    // it covers the displayed box 200 x 80 at (20, 40).
    const QSize displayed = DisplayedSize(100, 40, 1.0f, 2.0f);
    const QPolygonF flat =
        ObjectRegion(QRect(0, 0, 50, 20), {100, 40}, 0.5f, 1.0f, 0.0f, displayed, 10, 20, 2.0f);
    EXPECT_EQ(flat.boundingRect(), QRectF(20, 40, 200, 80));
    const QPolygonF turned = ObjectRegion(QRect(0, 0, 100, 40), {100, 40}, 1.0f, 1.0f, 90.0f,
                                          DisplayedSize(100, 40, 1.0f, 1.0f), 0, 0, 1.0f);
    EXPECT_TRUE(turned.containsPoint(QPointF(50, -20), Qt::OddEvenFill));
    EXPECT_FALSE(turned.containsPoint(QPointF(10, 20), Qt::OddEvenFill));
    EXPECT_TRUE(ObjectRegion(QRect(0, 0, 10, 10), {10, 10}, 0.0f, 1.0f, 0.0f, {8, 8}, 0, 0, 1.0f)
                    .isEmpty());
}

TEST(CompositorGeometry, FrameWindowIsEnlargedByOneHundredth) {
    const RecordFrameWindow window{0.25f, 0.5f, 0.75f, 0.75f};
    // left trunc(400 * 0.24) = 96, top trunc(200 * 0.49) = 98, width trunc(400 * 0.52) = 208,
    // height trunc(200 * 0.27) = 54 (float steps may lose one pixel, as truncation says).
    const QRect r = FramedPictureRect({400, 200}, window);
    EXPECT_NEAR(r.left(), 96, 1);
    EXPECT_NEAR(r.top(), 98, 1);
    EXPECT_NEAR(r.width(), 208, 1);
    EXPECT_NEAR(r.height(), 54, 1);
}

TEST(SelectionHandles, SitAroundTheBoxAndBeyondItsCorners) {
    const HandleTable h = SelectionHandleRects(0, 0, 100, 72);
    const QPoint expected[kSelectionHandleCount] = {{-8, -8},   {-8, 32},  {-8, 72},   {46, 72},
                                                    {100, 72},  {100, 32}, {100, -8},  {46, -8},
                                                    {-16, -16}, {-16, 80}, {108, -16}, {108, 80}};
    for (int i = 0; i < kSelectionHandleCount; ++i) {
        EXPECT_EQ(h[size_t(i)].topLeft(), expected[i]) << "handle " << i;
        EXPECT_EQ(h[size_t(i)].size(), QSize(8, 8)) << "handle " << i;
    }
}
