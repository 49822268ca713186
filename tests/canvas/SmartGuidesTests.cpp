// Where a dragged box snaps: canvas edges and centre, other objects' edges and centres, equal
// gaps in a row, within the tolerance only, the nearest candidate winning.
#include "canvas/interaction/SmartGuides.h"

#include <gtest/gtest.h>

namespace mosaiq {
namespace {

const QSizeF kCanvas(1000, 800);

TEST(SmartGuides, CanvasEdgesAndCentreCatchEveryEdgeOfTheBox) {
    struct Case {
        QRectF moving;
        QPointF offset;
    };
    const Case cases[] = {
        {{4, 300, 100, 50}, {-4, 0}},   // left edge to the canvas's left
        {{200, 745, 100, 50}, {0, 5}},  // bottom edge to the canvas's bottom
        {{447, 200, 100, 60}, {3, 0}},  // centre to the canvas's centre line (500)
        {{895, 371, 100, 60}, {5, -1}}, // right edge to 1000, middle to 400
        {{300, 200, 100, 60}, {0, 0}},  // nothing near
    };
    for (const Case& c : cases) {
        const SnapResult r = SnapMovingBox(c.moving, {}, kCanvas, 6.0);
        EXPECT_NEAR(r.offset.x(), c.offset.x(), 1e-9) << c.moving.x();
        EXPECT_NEAR(r.offset.y(), c.offset.y(), 1e-9) << c.moving.y();
        EXPECT_EQ(r.guides.empty(), c.offset.isNull());
    }
}

TEST(SmartGuides, OtherObjectsEdgesAndCentresCatchAndDrawAGuideSpanningBoth) {
    const std::vector<QRectF> others = {{100, 100, 200, 100}}; // centre x 200, right 300
    // The moving box's left edge 2 px right of the other's right edge.
    SnapResult r = SnapMovingBox({302, 410, 80, 40}, others, kCanvas, 6.0);
    EXPECT_NEAR(r.offset.x(), -2.0, 1e-9);
    ASSERT_EQ(r.guides.size(), 1u);
    const QLineF g = r.guides[0];
    EXPECT_EQ(g.x1(), 300.0);
    EXPECT_EQ(g.x2(), 300.0);
    EXPECT_EQ(std::min(g.y1(), g.y2()), 100.0); // from the other's top ...
    EXPECT_EQ(std::max(g.y1(), g.y2()), 450.0); // ... to the moving box's bottom
    // Centre on centre.
    r = SnapMovingBox({164, 410, 80, 40}, others, kCanvas, 6.0);
    EXPECT_NEAR(r.offset.x(), -4.0, 1e-9);
}

TEST(SmartGuides, TheToleranceIsAHardLimitAndTheNearestWins) {
    const std::vector<QRectF> others = {{100, 100, 200, 100}};
    EXPECT_NEAR(SnapMovingBox({306, 410, 80, 40}, others, kCanvas, 6.0).offset.x(), -6.0, 1e-9);
    EXPECT_EQ(SnapMovingBox({306.5, 410, 80, 40}, others, kCanvas, 6.0).offset.x(), 0.0);
    // At zoom 2 the same six screen pixels are three canvas pixels.
    EXPECT_EQ(SnapMovingBox({304, 410, 80, 40}, others, kCanvas, 3.0).offset.x(), 0.0);
    // Two candidates: the left edge 3 px from 300, the right edge 2 px from 381.
    const std::vector<QRectF> two = {{100, 100, 200, 100}, {381, 500, 50, 50}};
    EXPECT_NEAR(SnapMovingBox({303, 410, 80, 40}, two, kCanvas, 6.0).offset.x(), -2.0, 1e-9);
    EXPECT_NEAR(SnapMovingBox({302.5, 410, 80, 40}, two, kCanvas, 6.0).offset.x(), -1.5, 1e-9);
}

TEST(SmartGuides, ThreeInARowSnapToEqualGaps) {
    // a at 100..200, b at 260..360: a gap of 60 in the row y 300..350.
    const std::vector<QRectF> row = {{100, 300, 100, 50}, {260, 300, 100, 50}};
    // After b: left edge at 420.
    SnapResult r = SnapMovingBox({423, 310, 70, 30}, row, kCanvas, 6.0);
    EXPECT_NEAR(r.offset.x(), -3.0, 1e-9);
    EXPECT_EQ(r.guides.size(), 3u); // the two equal gaps, and the middles lined up
    // Before a: right edge at 40.
    r = SnapMovingBox({-28, 310, 70, 30}, row, kCanvas, 6.0);
    EXPECT_NEAR(r.offset.x() + -28 + 70, 40.0, 1e-9);
    // Out of the row (below it): no equal-gap snap.
    r = SnapMovingBox({423, 500, 70, 30}, row, kCanvas, 6.0);
    EXPECT_EQ(r.offset.x(), 0.0);
    // Between a and b when it fits: equal gaps either side.
    const std::vector<QRectF> wide = {{100, 300, 100, 50}, {500, 300, 100, 50}};
    r = SnapMovingBox({302, 310, 100, 30}, wide, kCanvas, 6.0);
    EXPECT_NEAR(r.offset.x(), -2.0, 1e-9); // 200 + (300 - 100) / 2 = 300
}

} // namespace
} // namespace mosaiq
